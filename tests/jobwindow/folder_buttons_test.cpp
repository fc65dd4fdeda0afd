// The "..." buttons ask for a folder and change only their own field.
#include <QLineEdit>
#include <QPushButton>
#include <deque>

#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

class JobWindowFolderButtons : public JobWindowFixture {
protected:
    void SetUp() override {
        open();
        settings().setText(Field::txtSaveLocation, "/old/primary");
        settings().setText(Field::txtSaveLocation2, "/old/secondary");
        window->setFolderChooser([this](const std::string& current, QWidget*) {
            offered.push_back(current);
            const std::string answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    void press(int index) { widget<QPushButton>(QStringLiteral("cmdSetLocation(%1)").arg(index)).click(); }

    std::deque<std::string> answers;
    std::vector<std::string> offered;
};

TEST_F(JobWindowFolderButtons, EachButtonServesItsOwnFolderAndCancelKeepsIt) {
    answers = {"/chosen/one", "/chosen/two", ""};
    press(1);
    EXPECT_EQ(settings().text(Field::txtSaveLocation), "/old/primary");
    EXPECT_EQ(settings().text(Field::txtSaveLocation2), "/chosen/one");
    EXPECT_EQ(widget<QLineEdit>("txtSaveLocation2").text(), "/chosen/one");
    press(0);
    EXPECT_EQ(settings().text(Field::txtSaveLocation), "/chosen/two");
    press(0);  // cancelled
    EXPECT_EQ(settings().text(Field::txtSaveLocation), "/chosen/two");
    EXPECT_EQ(widget<QLineEdit>("txtSaveLocation").text(), "/chosen/two");
    EXPECT_EQ(settings().text(Field::txtSaveLocation2), "/chosen/one");
    EXPECT_EQ(offered, (std::vector<std::string>{"/old/secondary", "/old/primary", "/chosen/two"}));
}

}  // namespace
}  // namespace gleanery::testing
