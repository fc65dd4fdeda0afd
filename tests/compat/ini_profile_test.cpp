// Reading and writing INI files as the Windows profile functions do.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/files.h"
#include "compat/ini_profile.h"

namespace gleanery {
namespace {

class IniProfile : public ::testing::Test {
protected:
    std::string path(const char* name = "test.ini") const { return dir.filePath(name).toStdString(); }
    std::string put(const std::string& content) {
        test::writeFile(path(), content);
        return path();
    }
    QTemporaryDir dir;
};

// As Windows reads them: a byte order mark, keys in any case, the first of
// duplicates, multi-line markers as values, values whole and without the blanks
// and one matching pair of quotes around them.
TEST_F(IniProfile, ReadsValuesAsWindowsDoes) {
    const IniFile ini(
        put("\xEF\xBB\xBF[Settings]\nTxtN=alice\nk=first\nK=second\nm=<<<END\nnext=1\nEND\nempty=\n[S]\n"
            "  spaced  =   a b  \t\ndq=\"  quoted  \"\nmixed=\"abc'\nlone=\"\nempty=\"\"\ncrlf=x\r\nlong=" +
            std::string(1000, 'v')));
    const char* const cases[][3] = {
        {"settings", "TXTN", "alice"},
        {"SETTINGS", "k", "first"},
        {"SETTINGS", "m", "<<<END"},
        {"SETTINGS", "next", "1"},
        {"SETTINGS", "empty", ""},
        {"SETTINGS", "b", "-"},
        {"S", "next", "-"},
        {"NONE", "k", "-"},
        {"S", "spaced", "a b"},
        {"S", "dq", "  quoted  "},
        {"S", "mixed", "\"abc'"},
        {"S", "lone", "\""},
        {"S", "empty", ""},
        {"S", "crlf", "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(ini.get(c[0], c[1], "-"), c[2]) << c[0] << " " << c[1];
    EXPECT_EQ(ini.get("S", "long", ""), std::string(1000, 'v'));
    EXPECT_EQ(GetPrivateProfileString("SETTINGS", "a", "x", path("absent.ini")), "x");
}

TEST_F(IniProfile, ReplacesAKeyInPlaceAndAppendsNewKeysToTheirSection) {
    put("[OTHER]\nx=1\n\n[SETTINGS]\nalpha=a\nBeta=b\ngamma=c\nbeta=dup\n\n[LAST]\nz=9\n");
    IniFile ini(path());
    ini.set("settings", "BETA", "B2");
    ini.set("SETTINGS", "delta", "d");
    ini.save();
    EXPECT_EQ(test::readFile(path()),
              "[OTHER]\nx=1\n\n\n[SETTINGS]\nalpha=a\nBETA=B2\ngamma=c\ndelta=d\n\n\n[LAST]\nz=9\n");
}

TEST_F(IniProfile, KeepsCommentsAndTheSectionsOwnSpelling) {
    put("; written by hand\n\n[Settings]\n; the site\ntxtLocation=http://a/\n");
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "txtLocation", "http://b/", path()));
    const std::string text = test::readFile(path());
    EXPECT_NE(text.find("; written by hand"), std::string::npos);
    EXPECT_NE(text.find("; the site\ntxtLocation=http://b/\n"), std::string::npos);
    EXPECT_NE(text.find("[Settings]\n"), std::string::npos);
    EXPECT_EQ(text.find("[SETTINGS]"), std::string::npos);
}

// No blanks around "=", and a quoted value in one more pair of quotes: the
// Windows reader takes off the same one pair, so older readers see it as written.
TEST_F(IniProfile, CreatesTheFileAndSectionsAndQuotesAQuotedValueOnceMore) {
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "txtName", "'bob'", path()));
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "txtPassword", "pa\"ss", path()));
    ASSERT_TRUE(WritePrivateProfileString("OTHER", "k", "", path()));
    EXPECT_EQ(test::readFile(path()), "[SETTINGS]\ntxtName=\"'bob'\"\ntxtPassword=pa\"ss\n\n\n[OTHER]\nk=\n");
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
    EXPECT_EQ(test::fileMode(path("new.ini")), 0600u);

    put("[S]\nk=v\n");
    ASSERT_EQ(::chmod(path().c_str(), 0644), 0);
    ASSERT_TRUE(WritePrivateProfileString("S", "k", "w", path()));
    EXPECT_EQ(test::fileMode(path()), 0644u);
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
    EXPECT_EQ(test::readFile(path()), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(IniProfile, AFileThatCouldNotBeReadIsNeverOverwritten) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    EXPECT_EQ(GetPrivateProfileString("S", "k", "d", path("folder.ini")), "d");
    IniFile ini(path("folder.ini"));
    ini.set("S", "k", "v");
    EXPECT_THROW(ini.save(), std::runtime_error);
    EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", path("missing/x.ini")));
}

// Bytes stay bytes, and a value that begins and ends with the same quote or
// with blanks survives any number of saves and loads: the read takes one pair
// of enclosing quotes off, so the write adds one.
TEST_F(IniProfile, ValuesComeBackAsWrittenAfterEverySave) {
    for (const char* value : {"caf\xC3\xA9 \xE2\x82\xAC", "\xE9t\xE9", "\"secret\"", "'x'", "\"\"", "''", "\"a\"b\"",
                              "'\"'", "\"", "'a\"", "\"\"x\"\"", "quote\t", " a b ", "\tx"}) {
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

}  // namespace
}  // namespace gleanery
