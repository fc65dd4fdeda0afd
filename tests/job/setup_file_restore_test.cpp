// Reading hand-written and foreign setup files: plain and indexed keys, values
// that are not what this program writes, missing and unreadable files.
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

}  // namespace
}  // namespace gleanery
