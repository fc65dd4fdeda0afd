// The folder chooser opens at the folder it is given or its nearest existing
// parent, refuses a volume that cannot be read, and answers the highlighted
// folder, or nothing when cancelled.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

#include "common/scripted_messages.h"
#include "jobwindow/select_path_window.h"

namespace gleanery::testing {
namespace {

TEST(SelectPath, OpensAtTheNearestFolderRefusesAnUnreadableVolumeAndAnswersTheHighlight) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("volA/sites/one");
    QDir(dir.path()).mkpath("volA/sites/two");
    QDir(dir.path()).mkpath("volB/music");
    const auto folder = [&](const char* name) { return dir.filePath(name); };
    const std::vector<Volume> volumes = {
        {folder("volA"), "volA"}, {"/nonexistent-gleanery-volume", "gone"}, {folder("volB"), "volB"}};
    ScriptedMessages messages;
    const auto press = [](frmSelectPath& c, const char* button) { c.findChild<QPushButton*>(button)->click(); };

    frmSelectPath missing(folder("volA/sites/gone/deeper").toStdString(), volumes, &messages);
    EXPECT_EQ(missing.Drive1().currentIndex(), 0);
    EXPECT_EQ(missing.currentFolder(), folder("volA/sites"));

    frmSelectPath c(folder("volA/sites/one").toStdString(), volumes, &messages);
    c.Drive1().setCurrentIndex(1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(c.Drive1().currentIndex(), 0);
    EXPECT_EQ(c.currentFolder(), folder("volA/sites/one"));
    ASSERT_TRUE(c.highlight(folder("volA/sites/two")));
    EXPECT_FALSE(c.highlight(folder("volB/music")));  // not on the open volume
    press(c, "cmdOK");
    EXPECT_EQ(c.answer(), folder("volA/sites/two").toStdString());

    frmSelectPath other(folder("volA/sites/one").toStdString(), volumes, &messages);
    other.Drive1().setCurrentIndex(2);
    EXPECT_EQ(other.currentFolder(), folder("volB"));
    press(other, "cmdCancel");
    EXPECT_EQ(other.answer(), "");
    EXPECT_EQ(other.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace gleanery::testing
