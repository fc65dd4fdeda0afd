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
    std::vector<int> tickedHours() const {
        std::vector<int> hours;
        for (int h = 0; h < 24; ++h)
            if (job.checked("chkHour", h)) hours.push_back(h);
        return hours;
    }
    QTemporaryDir dir;
    JobSettings job;
};

TEST_F(SetupFileRestore, AMissingTextLineKeepsTheValueAndAnEmptyOneEmptiesIt) {
    job.setText("txtName", "preset");
    job.setText("txtPassword", "secret");
    restoreFrom("txtName=\ntxtLocation=http://example.org/\n");
    EXPECT_EQ(job.text("txtName"), "");
    EXPECT_EQ(job.text("txtPassword"), "secret");
    EXPECT_EQ(job.text("txtLocation"), "http://example.org/");
}

TEST_F(SetupFileRestore, APlainHourKeyAppliesToEveryHourUntilAnIndexedKeyDecides) {
    restoreFrom("chkHour=0\n");
    EXPECT_TRUE(tickedHours().empty());

    job.setChecked("chkHour", true, 9);
    restoreFrom("chkHour=0\nchkHour:5=1\n");
    EXPECT_EQ(tickedHours(), std::vector<int>{5});
}

TEST_F(SetupFileRestore, OnlyExactlyOneTicksACheckBox) {
    for (const char* value : {"2", "True", "01", "-1"}) {
        job.setChecked("chkThumbnail", true);
        restoreFrom(std::string("chkThumbnail=") + value + "\n");
        EXPECT_FALSE(job.checked("chkThumbnail")) << value;
    }
    restoreFrom("chkThumbnail=  1  \n");
    EXPECT_TRUE(job.checked("chkThumbnail"));
    restoreFrom("chkThumbnail=\n");  // empty: left as it is
    EXPECT_TRUE(job.checked("chkThumbnail"));
    restoreFrom("chkTranslate=0\n");
    EXPECT_FALSE(job.isEnabled("chkRelative"));
    restoreFrom("chkTranslate=1\n");
    EXPECT_TRUE(job.isEnabled("chkRelative"));
}

TEST_F(SetupFileRestore, IndexedOptionsChooseAndOnlyTrueInThisCaseSelects) {
    restoreFrom("optBrowse:2=TRUE\n");
    EXPECT_EQ(job.selectedOption("optBrowse"), 1);
    restoreFrom("optBrowse:2=True\n");
    EXPECT_EQ(job.selectedOption("optBrowse"), 2);
    // A plain False reaches every member and leaves none selected.
    restoreFrom("optBrowse=False\n");
    EXPECT_EQ(job.selectedOption("optBrowse"), -1);
    restoreFrom("optBrowse=False\noptBrowse:0=True\noptBrowse:1=False\noptBrowse:2=False\n");
    EXPECT_EQ(job.selectedOption("optBrowse"), 0);
}

TEST_F(SetupFileRestore, ListValuesAreReadAsNumbersAndOutOfRangeIgnored) {
    struct Case {
        const char* value;
        int index;
    };
    for (const Case c : {Case{"36", 36}, Case{"37", 12}, Case{"abc", 0}, Case{"7xyz", 7}, Case{"2.5", 2},
                         Case{"3.5", 4}, Case{"-1", -1}, Case{"-7", 12}, Case{"1e999", 12}, Case{"", 12}}) {
        job.setListIndex("cboMaxDepth", 12);
        restoreFrom(std::string("cboMaxDepth=") + c.value + "\n");
        EXPECT_EQ(job.listIndex("cboMaxDepth"), c.index) << '"' << c.value << '"';
    }
}

TEST_F(SetupFileRestore, ConnectionIndexRefersToTheFilledList) {
    restoreFrom("cboConnections=3\n");
    EXPECT_EQ(job.listText("cboConnections"), "5");
}

TEST_F(SetupFileRestore, ALongValueKeepsItsFirst254Bytes) {
    const std::string longValue(300, 'a');
    restoreFrom("txtLocation=" + longValue + "\n");
    EXPECT_EQ(job.text("txtLocation"), std::string(254, 'a'));
}

TEST_F(SetupFileRestore, ValuesAreCleanedAndKeepTheirBytes) {
    restoreFrom("txtName=  \"  bob  \"  \ntxtPassword='p\xC3\xA4ss'\ntxtLocation=http://h/\xE9\n");
    EXPECT_EQ(job.text("txtName"), "bob");  // quotes stripped, then the blanks inside trimmed
    EXPECT_EQ(job.text("txtPassword"), "p\xC3\xA4ss");
    EXPECT_EQ(job.text("txtLocation"), "http://h/\xE9");
}

TEST_F(SetupFileRestore, KeysIgnoreCaseAndOrder) {
    restoreFrom("CHKHOUR:3=0\nTxtName=x\ntxtLocation:0=indexed\n[OTHER]\ntxtPassword=not-this-one\n");
    EXPECT_FALSE(job.checked("chkHour", 3));
    EXPECT_EQ(job.text("txtName"), "x");
    EXPECT_EQ(job.text("txtPassword"), "");
    EXPECT_EQ(job.text("txtLocation"), "");  // text is read by its plain name only
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
