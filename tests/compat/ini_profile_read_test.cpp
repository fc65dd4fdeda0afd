// Reading INI files as the Windows profile functions do.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "compat/ini_profile.h"

namespace gleanery {
namespace {

class IniProfileRead : public ::testing::Test {
protected:
    std::string write(const std::string& content) {
        const std::string path = dir.filePath("test.ini").toStdString();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    QTemporaryDir dir;
};

// A byte order mark, case, duplicates and multi-line markers as Windows reads them.
TEST_F(IniProfileRead, KeysIgnoreCaseTheFirstDuplicateWinsAndMarkersAreValues) {
    const IniFile ini(write("\xEF\xBB\xBF[Settings]\nTxtName=alice\nk=first\nK=second\nm=<<<END\nnext=1\nEND\n"));
    EXPECT_EQ(ini.get("settings", "TXTNAME", "-"), "alice");
    EXPECT_EQ(ini.get("SETTINGS", "k", "-"), "first");
    EXPECT_EQ(ini.get("SETTINGS", "m", "-"), "<<<END");
    EXPECT_EQ(ini.get("SETTINGS", "next", "-"), "1");
}

TEST_F(IniProfileRead, MissingFileSectionOrKeyGivesTheDefault) {
    const std::string path = write("[SETTINGS]\na=1\nempty=\n[OTHER]\nb=2\n");
    const IniFile ini(path);
    EXPECT_EQ(ini.get("SETTINGS", "b", "***BLANK***"), "***BLANK***");
    EXPECT_EQ(GetPrivateProfileString("SETTINGS", "a", "x", dir.filePath("absent.ini").toStdString()), "x");
    EXPECT_EQ(ini.get("SETTINGS", "empty", "***BLANK***"), "");  // an empty value is not the default
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    EXPECT_EQ(GetPrivateProfileString("S", "k", "d", dir.filePath("folder.ini").toStdString()), "d");
}

TEST_F(IniProfileRead, ValuesLoseSurroundingBlanksAndOneMatchingPairOfQuotes) {
    const IniFile ini(write("[S]\n"
                            "  spaced  =   a b  \t\n"
                            "dq=\"  quoted  \"\n"
                            "mixed=\"abc'\n"
                            "lone=\"\n"
                            "empty=\"\"\n"
                            "crlf=x\r\n"));
    EXPECT_EQ(ini.get("S", "spaced", "-"), "a b");
    EXPECT_EQ(ini.get("S", "dq", "-"), "  quoted  ");
    EXPECT_EQ(ini.get("S", "mixed", "-"), "\"abc'");
    EXPECT_EQ(ini.get("S", "lone", "-"), "\"");
    EXPECT_EQ(ini.get("S", "empty", "-"), "");
    EXPECT_EQ(ini.get("S", "crlf", "-"), "x");
}

// A long start address or output folder comes back whole.
TEST_F(IniProfileRead, LongValuesAreReadWhole) {
    const std::string longValue(1000, 'v');
    EXPECT_EQ(IniFile(write("[S]\nk=" + longValue + "\n")).get("S", "k", ""), longValue);
}

}  // namespace
}  // namespace gleanery
