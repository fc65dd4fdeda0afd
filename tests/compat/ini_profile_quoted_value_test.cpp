// A value that begins and ends with the same quote: the read takes one pair of
// enclosing quotes off, so the write adds one, and a password or URL typed in
// quotes survives any number of saves and loads.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "compat/ini_profile.h"

namespace gleanery {
namespace {

TEST(IniProfileQuotedValue, ComesBackAsWrittenAfterEverySave) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("job.glf").toStdString();
    const char* values[] = {"\"secret\"", "'x'", "\"\"", "''", "\"a\"b\"", "'\"'", "\"", "'a\"", "\"\"x\"\""};
    for (const char* value : values) {
        std::string current = value;
        for (int round = 0; round < 3; ++round) {
            IniFile ini(path);
            ini.set("SETTINGS", "txtPassword", current);
            ini.save();
            current = IniFile(path).get("SETTINGS", "txtPassword", "missing");
        }
        EXPECT_EQ(current, value);
    }
}

// The Windows reader takes off the same one pair, so older readers see the
// value as written too.
TEST(IniProfileQuotedValue, IsStoredInOneMorePairOfQuotes) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("job.glf").toStdString();
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "txtName", "'bob'", path));
    ASSERT_TRUE(WritePrivateProfileString("SETTINGS", "txtPassword", "pa\"ss", path));
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "[SETTINGS]\ntxtName=\"'bob'\"\ntxtPassword=pa\"ss\n");
}

}  // namespace
}  // namespace gleanery
