// The number fields take digits only, however the text arrives, and the job
// reads what the field shows.
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include "jobwindow/job_window_fixture.h"

namespace gleanery::testing {
namespace {

class JobWindowDigitFilter : public JobWindowFixture {
protected:
    void SetUp() override { open(); }
    QLineEdit& edit(const char* name) {
        auto& e = widget<QLineEdit>(name);
        e.clear();
        settings().setText(name, "");
        return e;
    }
};

const char* const kNumberFields[] = {"txtDailyLimitFiles", "txtDailyLimitK", "txtSpacePrimary", "txtSpaceSecondary"};

TEST_F(JobWindowDigitFilter, TypedLettersAndSignsAreDiscarded) {
    for (const char* name : kNumberFields) {
        QLineEdit& e = edit(name);
        QTest::keyClicks(&e, "12a3-.+ 4");
        EXPECT_EQ(e.text(), "1234") << name;
        EXPECT_EQ(settings().text(name), "1234") << name;
        QTest::keyClick(&e, Qt::Key_Backspace);
        QTest::keyClick(&e, Qt::Key_Backspace);
        EXPECT_EQ(settings().text(name), "12") << name;
    }
}

TEST_F(JobWindowDigitFilter, PastedTextKeepsOnlyItsDigits) {
    QLineEdit& e = edit("txtDailyLimitK");
    QTest::keyClicks(&e, "19");
    e.setCursorPosition(1);
    QApplication::clipboard()->setText("2,5-0.x");
    e.paste();
    EXPECT_EQ(e.text(), "12509");
    EXPECT_EQ(settings().text(Field::txtDailyLimitK), "12509");
    // The cursor stays after what was pasted.
    QTest::keyClicks(&e, "7");
    EXPECT_EQ(e.text(), "125079");
}

TEST_F(JobWindowDigitFilter, StoredValueShowsAsTheJobReadsIt) {
    // A setup file may hold what typing could not produce; the field shows it unchanged.
    settings().setText(Field::txtSpacePrimary, "1,000");
    EXPECT_EQ(widget<QLineEdit>("txtSpacePrimary").text(), "1,000");
}

}  // namespace
}  // namespace gleanery::testing
