// Reading and writing INI files as the Windows profile functions do: lines
// replaced in place, everything else kept, the whole file replaced atomically
// and private when new, and quoted values kept through any number of saves.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "compat/ini_profile.h"

namespace gleanery {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

class IniProfile : public ::testing::Test {
protected:
    std::string path(const char* name = "test.ini") const { return dir.filePath(name).toStdString(); }
    // Writes the file and returns its path.
    std::string put(const std::string& content) {
        std::ofstream(path(), std::ios::binary) << content;
        return path();
    }
    QTemporaryDir dir;
};

// A byte order mark, case, duplicates and multi-line markers as Windows reads them.
TEST_F(IniProfile, KeysIgnoreCaseTheFirstDuplicateWinsAndMarkersAreValues) {
    const IniFile ini(put("\xEF\xBB\xBF[Settings]\nTxtName=alice\nk=first\nK=second\nm=<<<END\nnext=1\nEND\n"));
    EXPECT_EQ(ini.get("settings", "TXTNAME", "-"), "alice");
    EXPECT_EQ(ini.get("SETTINGS", "k", "-"), "first");
    EXPECT_EQ(ini.get("SETTINGS", "m", "-"), "<<<END");
    EXPECT_EQ(ini.get("SETTINGS", "next", "-"), "1");
}

TEST_F(IniProfile, MissingFileSectionOrKeyGivesTheDefault) {
    const std::string path = put("[SETTINGS]\na=1\nempty=\n[OTHER]\nb=2\n");
    const IniFile ini(path);
    EXPECT_EQ(ini.get("SETTINGS", "b", "***BLANK***"), "***BLANK***");
    EXPECT_EQ(GetPrivateProfileString("SETTINGS", "a", "x", dir.filePath("absent.ini").toStdString()), "x");
    EXPECT_EQ(ini.get("SETTINGS", "empty", "***BLANK***"), "");  // an empty value is not the default
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    EXPECT_EQ(GetPrivateProfileString("S", "k", "d", dir.filePath("folder.ini").toStdString()), "d");
}

TEST_F(IniProfile, ValuesLoseSurroundingBlanksAndOneMatchingPairOfQuotes) {
    const IniFile ini(
        put("[S]\n"
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
TEST_F(IniProfile, LongValuesAreReadWhole) {
    const std::string longValue(1000, 'v');
    EXPECT_EQ(IniFile(put("[S]\nk=" + longValue + "\n")).get("S", "k", ""), longValue);
}

// Duplicates of a key collapse into the first one's line.
TEST_F(IniProfile, ReplacesAKeyInPlaceAndAppendsNewKeysToTheirSection) {
    put("[OTHER]\nx=1\n\n[SETTINGS]\nalpha=a\nBeta=b\ngamma=c\nbeta=dup\n\n[LAST]\nz=9\n");
    IniFile ini(path());
    ini.set("settings", "BETA", "B2");
    ini.set("SETTINGS", "delta", "d");
    ini.save();
    EXPECT_EQ(readAll(path()), "[OTHER]\nx=1\n\n\n[SETTINGS]\nalpha=a\nBETA=B2\ngamma=c\ndelta=d\n\n\n[LAST]\nz=9\n");
}

TEST_F(IniProfile, KeepsCommentsAndTheSectionsOwnSpelling) {
    put("; written by hand\n\n[Settings]\n; the site\ntxtLocation=http://a/\n");
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "txtLocation", "http://b/", path()));
    const std::string text = readAll(path());
    EXPECT_NE(text.find("; written by hand"), std::string::npos);
    EXPECT_NE(text.find("; the site\ntxtLocation=http://b/\n"), std::string::npos);
    EXPECT_NE(text.find("[Settings]\n"), std::string::npos);
    EXPECT_EQ(text.find("[SETTINGS]"), std::string::npos);
}

TEST_F(IniProfile, CreatesTheFileAndSectionWithoutBlanksAroundTheEqualsSign) {
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "CHECKUPDATE", "True", path()));
    EXPECT_EQ(readAll(path()), "[SETTINGS]\nCHECKUPDATE=True\n");
    ASSERT_TRUE(WritePrivateProfileString("OTHER", "k", "", path()));
    EXPECT_EQ(readAll(path()), "[SETTINGS]\nCHECKUPDATE=True\n\n\n[OTHER]\nk=\n");
}

TEST_F(IniProfile, ALineBreakInAValueCannotAddLinesToTheFile) {
    IniFile ini(path());
    ini.set("S", "txtLocation", "http://a/\n[S]\ntxtPassword=stolen\r\nend");
    ini.save();
    const IniFile back(path());
    EXPECT_EQ(back.get("S", "txtPassword", "none"), "none");
    EXPECT_EQ(back.get("S", "txtLocation", ""), "http://a/ [S] txtPassword=stolen  end");
}

TEST_F(IniProfile, RefusesKeysAndSectionsThatCannotBeWrittenAsOneLine) {
    IniFile ini(path());
    for (const char* key : {"", "a=b", "a\nb", "[x", ";x", "#x"})
        EXPECT_THROW(ini.set("S", key, "v"), std::invalid_argument) << key;
    for (const char* section : {"", "a]b", "a\nb"})
        EXPECT_THROW(ini.set(section, "k", "v"), std::invalid_argument) << section;
    EXPECT_FALSE(WritePrivateProfileString("S", "a=b", "v", path()));
}

TEST_F(IniProfile, ANewFileIsPrivateAndAnExistingOneKeepsItsPermissions) {
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", path("new.ini")));
    EXPECT_EQ(modeOf(path("new.ini")), 0600u);

    put("[S]\nk=v\n");
    ASSERT_EQ(::chmod(path().c_str(), 0644), 0);
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "w", path()));
    EXPECT_EQ(modeOf(path()), 0644u);
}

TEST_F(IniProfile, SavingReplacesTheWholeFileAndLeavesNoTemporaryFiles) {
    put("[S]\nk=old\n");
    // A second name for the old file shows whether it was rewritten in place.
    ASSERT_EQ(::link(path().c_str(), path("old.ini").c_str()), 0);
    IniFile ini(path());
    ini.set("S", "k", "new");
    ini.save();
    EXPECT_EQ(readAll(path()), "[S]\nk=new\n");
    EXPECT_EQ(readAll(path("old.ini")), "[S]\nk=old\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(IniProfile, AFailedWriteLeavesTheOldFileWhole) {
    const std::string old = "[S]\nk=old\n";
    put(old);
    IniFile ini(path());
    for (int i = 0; i < 200; ++i) ini.set("S", "key" + std::to_string(i), std::string(50, 'x'));

    // Let the file system refuse every byte beyond the first 64 of a file.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    std::string error;
    try {
        ini.save();
    } catch (const std::runtime_error& e) {
        error = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(error.find(path()), std::string::npos) << error;
    EXPECT_EQ(readAll(path()), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(IniProfile, AFileThatCouldNotBeReadIsNeverOverwritten) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    IniFile ini(path("folder.ini"));
    ini.set("S", "k", "v");
    EXPECT_THROW(ini.save(), std::runtime_error);
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", path("missing/x.ini")));
}

// Bytes stay bytes, and a value that begins and ends with the same quote
// survives any number of saves and loads: the read takes one pair of
// enclosing quotes off, so the write adds one.
TEST_F(IniProfile, ValuesComeBackAsWrittenAfterEverySave) {
    const char* values[] = {"caf\xC3\xA9 \xE2\x82\xAC",
                            "\xE9t\xE9",
                            "\"secret\"",
                            "'x'",
                            "\"\"",
                            "''",
                            "\"a\"b\"",
                            "'\"'",
                            "\"",
                            "'a\"",
                            "\"\"x\"\""};
    for (const char* value : values) {
        std::string current = value;
        for (int round = 0; round < 3; ++round) {
            IniFile ini(path());
            ini.set("SETTINGS", "txtPassword", current);
            ini.save();
            current = IniFile(path()).get("SETTINGS", "txtPassword", "missing");
        }
        EXPECT_EQ(current, value);
    }
}

// The Windows reader takes off the same one pair, so older readers see the
// value as written too.
TEST_F(IniProfile, AQuotedValueIsStoredInOneMorePairOfQuotes) {
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "txtName", "'bob'", path()));
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "txtPassword", "pa\"ss", path()));
    EXPECT_EQ(readAll(path()), "[SETTINGS]\ntxtName=\"'bob'\"\ntxtPassword=pa\"ss\n");
}

}  // namespace
}  // namespace gleanery
