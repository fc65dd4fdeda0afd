// The folder chooser: opens at the folder it is given, refuses a volume that
// cannot be read, and answers the highlighted folder or nothing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

#include "common/scripted_messages.h"
#include "jobwindow/select_path_window.h"

namespace gleanery::testing {
namespace {

class SelectPath : public ::testing::Test {
protected:
    SelectPath() {
        QDir root(dir.path());
        root.mkpath("volA/sites/one");
        root.mkpath("volA/sites/two");
        root.mkpath("volB/music");
        volumes = {{folder("volA"), "volA"}, {"/nonexistent-gleanery-volume", "gone"}, {folder("volB"), "volB"}};
    }
    QString folder(const QString& name) const { return dir.filePath(name); }
    std::unique_ptr<frmSelectPath> chooser(const QString& current) {
        return std::make_unique<frmSelectPath>(current.toStdString(), volumes, &messages);
    }
    static void press(frmSelectPath& c, const char* button) { c.findChild<QPushButton*>(button)->click(); }

    QTemporaryDir dir;
    std::vector<Volume> volumes;
    ScriptedMessages messages;
};

TEST_F(SelectPath, OpensAtTheFolderItIsGivenOrItsNearestParent) {
    auto c = chooser(folder("volB/music"));
    EXPECT_EQ(c->Drive1().currentIndex(), 2);
    EXPECT_EQ(c->currentFolder(), folder("volB/music"));
    press(*c, "cmdOK");
    EXPECT_EQ(c->answer(), folder("volB/music").toStdString());
    EXPECT_EQ(c->result(), QDialog::Accepted);

    auto missing = chooser(folder("volA/sites/gone/deeper"));
    EXPECT_EQ(missing->Drive1().currentIndex(), 0);
    EXPECT_EQ(missing->currentFolder(), folder("volA/sites"));
}

TEST_F(SelectPath, HighlightedFolderIsTheAnswerAndCancelAnswersNothing) {
    auto c = chooser(folder("volA/sites/one"));
    ASSERT_TRUE(c->highlight(folder("volA/sites/two")));
    EXPECT_FALSE(c->highlight(folder("volB/music")));  // not on the open volume
    press(*c, "cmdOK");
    EXPECT_EQ(c->answer(), folder("volA/sites/two").toStdString());

    auto cancelled = chooser(folder("volA/sites/one"));
    cancelled->highlight(folder("volA/sites/two"));
    press(*cancelled, "cmdCancel");
    EXPECT_EQ(cancelled->answer(), "");
    EXPECT_EQ(cancelled->result(), QDialog::Rejected);
}

TEST_F(SelectPath, UnreadableVolumeIsRefusedAndAnotherOpensAtItsRoot) {
    auto c = chooser(folder("volA/sites/one"));
    c->Drive1().setCurrentIndex(1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Drive not available");
    EXPECT_EQ(c->Drive1().currentIndex(), 0);
    EXPECT_EQ(c->currentFolder(), folder("volA/sites/one"));

    c->Drive1().setCurrentIndex(2);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(c->currentFolder(), folder("volB"));
    press(*c, "cmdOK");
    EXPECT_EQ(c->answer(), folder("volB").toStdString());
}

}  // namespace
}  // namespace gleanery::testing
