// Reading setup files into a job: hand-written and foreign files (plain and
// indexed keys, values that are not what this program writes, missing and
// unreadable files), and one setup-file line applied as the command line's
// --set does.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

#include "job/job_settings.h"
#include "job/setup_file.h"

namespace gleanery {
namespace {

class SetupFileRestore : public ::testing::Test {
protected:
    // Restores a fresh job from a file holding the given lines.
    void restoreFrom(const std::string& lines) {
        std::ofstream(setup(), std::ios::binary) << "[SETTINGS]\n" << lines;
        restoreSettings(job, setup());
    }
    std::string setup() const { return dir.filePath("site.glf").toStdString(); }
    QTemporaryDir dir;
    JobSettings job;
};

TEST_F(SetupFileRestore, AMissingTextLineKeepsTheValueAndAnEmptyOneEmptiesIt) {
    job.setText(Field::txtName, "preset");
    job.setText(Field::txtPassword, "secret");
    restoreFrom("txtName=\ntxtLocation=http://example.org/\n");
    EXPECT_EQ(job.text(Field::txtName), "");
    EXPECT_EQ(job.text(Field::txtPassword), "secret");
    EXPECT_EQ(job.text(Field::txtLocation), "http://example.org/");
}

TEST_F(SetupFileRestore, OnlyExactlyOneTicksACheckBox) {
    for (const char* value : {"True", "01"}) {
        job.setChecked(Field::chkThumbnail, true);
        restoreFrom(std::string("chkThumbnail=") + value + "\n");
        EXPECT_FALSE(job.checked(Field::chkThumbnail)) << value;
    }
    restoreFrom("chkThumbnail=  1  \n");
    EXPECT_TRUE(job.checked(Field::chkThumbnail));
}

TEST_F(SetupFileRestore, IndexedOptionsChooseAndOnlyTrueInThisCaseSelects) {
    restoreFrom("optBrowse:2=TRUE\n");
    EXPECT_EQ(job.selectedOption(Field::optBrowse), 1);
    restoreFrom("optBrowse=False\noptBrowse:0=True\noptBrowse:1=False\noptBrowse:2=False\n");
    EXPECT_EQ(job.selectedOption(Field::optBrowse), 0);
}

TEST_F(SetupFileRestore, ListValuesAreReadAsNumbersAndOutOfRangeIgnored) {
    struct Case {
        const char* value;
        int index;
    };
    for (const Case c : {Case{"37", 12}, Case{"7xyz", 7}, Case{"3.5", 4}, Case{"-7", 12}, Case{"1e999", 12}}) {
        job.setListIndex(Field::cboMaxDepth, 12);
        restoreFrom(std::string("cboMaxDepth=") + c.value + "\n");
        EXPECT_EQ(job.listIndex(Field::cboMaxDepth), c.index) << '"' << c.value << '"';
    }
}

TEST_F(SetupFileRestore, ValuesAreCleanedAndKeepTheirBytes) {
    restoreFrom("txtName=  \"  bob  \"  \ntxtPassword='p\xC3\xA4ss'\ntxtLocation=http://h/\xE9\n");
    EXPECT_EQ(job.text(Field::txtName), "bob");  // quotes stripped, then the blanks inside trimmed
    EXPECT_EQ(job.text(Field::txtPassword), "p\xC3\xA4ss");
    EXPECT_EQ(job.text(Field::txtLocation), "http://h/\xE9");
}

TEST_F(SetupFileRestore, KeysIgnoreCaseAndOrder) {
    restoreFrom("CHKHOUR:3=0\nTxtName=x\ntxtLocation:0=indexed\n[OTHER]\ntxtPassword=not-this-one\n");
    EXPECT_FALSE(job.checked(Field::chkHour, 3));
    EXPECT_EQ(job.text(Field::txtName), "x");
    EXPECT_EQ(job.text(Field::txtPassword), "");
    EXPECT_EQ(job.text(Field::txtLocation), "");  // text is read by its plain name only
}

TEST_F(SetupFileRestore, AMissingOrUnreadableFileLeavesTheSettings) {
    const JobSettings defaults;
    restoreSettings(job, dir.filePath("absent.glf").toStdString());
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.glf"));
    restoreSettings(job, dir.filePath("folder.glf").toStdString());
    for (const FieldSpec& c : defaults.controls()) EXPECT_EQ(job.storedValue(c), defaults.storedValue(c)) << c.name;
}

TEST(ApplySetupValue, AnIndexedKeyReachesOneMemberAndAPlainKeyAll) {
    JobSettings job;
    EXPECT_TRUE(applySetupValue(job, "txtLocation", "http://example.org/"));
    EXPECT_EQ(job.text(Field::txtLocation), "http://example.org/");
    EXPECT_TRUE(applySetupValue(job, "chkHour", "0"));
    EXPECT_TRUE(applySetupValue(job, "chkHour:7", "1"));
    for (int h = 0; h < 24; ++h) EXPECT_EQ(job.checked(Field::chkHour, h), h == 7) << h;
    EXPECT_TRUE(applySetupValue(job, "optBrowse:2", "True"));
    EXPECT_EQ(job.selectedOption(Field::optBrowse), 2);
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

TEST(ApplySetupValue, EveryTypedKeyReadsWhatItsNameSet) {
    JobSettings job;
    auto set = [&](std::string_view key, const char* value) {
        EXPECT_TRUE(applySetupValue(job, std::string(key), value)) << key;
    };
    auto flips = [&](CheckKey key, int index) {
        const bool was = job.checked(key, index);
        set(key.name, was ? "0" : "1");
        EXPECT_NE(job.checked(key, index), was) << key.name;
    };
#define EXPECT_TEXT(name, ...) \
    set(#name, "by name");     \
    EXPECT_EQ(job.text(Field::name), "by name");
#define EXPECT_CHECK(name, ...) flips(Field::name, -1);
#define EXPECT_LIST(name, ...) \
    set(#name, "1");           \
    EXPECT_EQ(job.listIndex(Field::name), 1) << #name;
#define EXPECT_OPTIONS(name, ...) \
    set(#name ":2", "True");      \
    EXPECT_EQ(job.selectedOption(Field::name), 2);
#define EXPECT_CHECKS(name, ...) flips(Field::name, 0);
    GLEANERY_SETTING_FIELDS(EXPECT_TEXT, EXPECT_CHECK, EXPECT_LIST, EXPECT_OPTIONS, EXPECT_CHECKS)
#undef EXPECT_CHECKS
#undef EXPECT_OPTIONS
#undef EXPECT_LIST
#undef EXPECT_CHECK
#undef EXPECT_TEXT
}

}  // namespace
}  // namespace gleanery
