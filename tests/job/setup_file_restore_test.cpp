// Reading setup files, and single setup-file lines, into a job.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

#include "job/job_settings.h"
#include "job/setup_file.h"

namespace gleanery {
namespace {

// A fresh job with a user name and password given, restored from a file of
// these lines; values names the stored value that each key (name or
// name:index) then holds.
std::string restoredValue(const std::string& lines, const std::string& key) {
    const QTemporaryDir dir;
    const std::string setup = dir.filePath("site.glf").toStdString();
    std::ofstream(setup, std::ios::binary) << "[SETTINGS]\n" << lines;
    JobSettings job;
    job.setText(Field::txtName, "preset");
    job.setText(Field::txtPassword, "secret");
    restoreSettings(job, setup);
    const std::size_t colon = key.find(':');
    const FieldSpec* control =
        job.find(key.substr(0, colon), colon == std::string::npos ? -1 : std::stoi(key.substr(colon + 1)));
    return control ? job.storedValue(*control) : "<no control " + key + ">";
}

TEST(SetupFileRestore, LinesAreReadAsThisProgramWritesThemAndForeignOnesSafely) {
    const struct {
        std::string lines;
        std::vector<std::pair<std::string, std::string>> values;
    } cases[] = {
        // A missing text line keeps the value, an empty one empties it.
        {"txtName=\ntxtLocation=http://example.org/\n",
         {{"txtName", ""}, {"txtPassword", "secret"}, {"txtLocation", "http://example.org/"}}},
        // Only exactly one ticks a check box.
        {"chkTunnel=True\nchkStorePages=01\nchkThumbnail=  1  \n",
         {{"chkTunnel", "0"}, {"chkStorePages", "0"}, {"chkThumbnail", "1"}}},
        // Indexed options choose, and only "True" in this case selects.
        {"optBrowse:2=TRUE\n", {{"optBrowse:1", "True"}, {"optBrowse:2", "False"}}},
        {"optBrowse=False\noptBrowse:0=True\noptBrowse:1=False\noptBrowse:2=False\n", {{"optBrowse:0", "True"}}},
        {"cboMaxDepth=37\n", {{"cboMaxDepth", "12"}}},
        {"cboMaxDepth=7xyz\n", {{"cboMaxDepth", "7"}}},
        {"cboMaxDepth=3.5\n", {{"cboMaxDepth", "4"}}},
        {"cboMaxDepth=-7\n", {{"cboMaxDepth", "12"}}},
        {"cboMaxDepth=1e999\n", {{"cboMaxDepth", "12"}}},
        // Values are cleaned, quotes stripped then the blanks inside trimmed, and keep their bytes.
        {"txtName=  \"  bob  \"  \ntxtPassword='p\xC3\xA4ss'\ntxtLocation=http://h/\xE9\n",
         {{"txtName", "bob"}, {"txtPassword", "p\xC3\xA4ss"}, {"txtLocation", "http://h/\xE9"}}},
        // Keys ignore case and order; text is read by its plain name, and from SETTINGS only.
        {"CHKHOUR:3=0\nTxtName=x\ntxtLocation:0=indexed\n[OTHER]\ntxtPassword=not-this-one\n",
         {{"chkHour:3", "0"}, {"txtName", "x"}, {"txtPassword", "secret"}, {"txtLocation", ""}}},
    };
    for (const auto& c : cases)
        for (const auto& [key, value] : c.values) EXPECT_EQ(restoredValue(c.lines, key), value) << c.lines;
}

TEST(SetupFileRestore, AMissingOrUnreadableFileLeavesTheSettings) {
    const QTemporaryDir dir;
    const JobSettings defaults;
    JobSettings job;
    restoreSettings(job, dir.filePath("absent.glf").toStdString());
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.glf"));
    restoreSettings(job, dir.filePath("folder.glf").toStdString());
    for (const FieldSpec& c : defaults.controls()) EXPECT_EQ(job.storedValue(c), defaults.storedValue(c)) << c.name;
}

TEST(ApplySetupValue, AnIndexedKeyReachesOneMemberAndAPlainKeyAll) {
    JobSettings job;
    EXPECT_TRUE(applySetupValue(job, "chkHour", "0"));
    EXPECT_TRUE(applySetupValue(job, "chkHour:7", "1"));
    for (int h = 0; h < 24; ++h) EXPECT_EQ(job.checked(Field::chkHour, h), h == 7) << h;
    // A line break would start a line of its own in the setup file.
    EXPECT_TRUE(applySetupValue(job, "txtPassword", "a\nb"));
    EXPECT_EQ(job.text(Field::txtPassword), "a b");
}

TEST(ApplySetupValue, RefusesKeysNoControlReads) {
    JobSettings job;
    const JobSettings untouched;
    for (const char* key : {"txtNope", "", "txtName:0", "chkHour:24", "chkHour:07", "optBrowse:3", "txtName=x"})
        EXPECT_FALSE(applySetupValue(job, key, "1")) << key;
    for (const FieldSpec& c : untouched.controls()) EXPECT_EQ(job.storedValue(c), untouched.storedValue(c));
}

}  // namespace
}  // namespace gleanery
