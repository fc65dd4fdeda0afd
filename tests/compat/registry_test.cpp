// The registry file: keys and values through the Registry class (value types,
// ASCII case, access), and importing ".reg" text as the registry editor would.
#include <gtest/gtest.h>

#include <string>

#include "common/files.h"
#include "compat/registry.h"
#include "support/scoped_home.h"

namespace gleanery {
namespace {

using V = Registry::Variant;
using namespace std::string_literals;

TEST(RegistryValues, WritesAndReadsStringsAndNumbersByNameIndexAndNull) {
    testing::ScopedHome home;
    {
        Registry w;
        w.CreateKey(HKEY_CURRENT_USER, "Software\\Gleanery\\Test", KEY_ALL_ACCESS);
        ASSERT_EQ(w.ErrorCode, ERROR_SUCCESS);
        w.Values(V("Text"s), V("line one\nline \"two\"\\"s));
        w.Values(V(std::int32_t{7}), V(std::int32_t{-5}));  // named by the index's text form
        w.Values(V{}, V("default"s));
        w.Values(V("NoData"s), V{});
        w.ErrorCode = 1234;
        w.Values(V("Skipped"s), V(1.5));
        EXPECT_EQ(w.ErrorCode, 1234);
        w.CloseKey();
    }
    Registry r;  // a fresh object reads what the file now holds, keys in any ASCII case
    r.OpenKey(HKEY_CURRENT_USER, "SOFTWARE\\gleanery\\test", KEY_READ);
    ASSERT_EQ(r.ErrorCode, ERROR_SUCCESS);
    EXPECT_EQ(r.Values(V("text"s)), V("line one\nline \"two\"\\"s));
    EXPECT_EQ(r.Values(V("7"s)), V(std::int32_t{-5}));
    EXPECT_EQ(r.Values(V(""s)), V("default"s));
    EXPECT_EQ(r.Values(V("NoData"s)), V(std::int32_t{0}));

    EXPECT_EQ(r.Values(V("Skipped"s)), V{});
    EXPECT_EQ(r.ErrorCode, ERROR_FILE_NOT_FOUND);

    r.Values(V("Text"s), V("not allowed"s));
    EXPECT_EQ(r.ErrorCode, ERROR_ACCESS_DENIED);  // the key was opened for reading
}

class RegistryImport : public ::testing::Test {
protected:
    std::string write(const std::string& content) {
        test::writeFile(home.path("import.reg"), content);
        return home.path("import.reg");
    }
    testing::ScopedHome home;
};

TEST_F(RegistryImport, ReadsKeysValuesDeletionsAndContinuedHexListsUnderAHeader) {
    EXPECT_FALSE(importRegFile(write("[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"b\"\n")));
    EXPECT_FALSE(importRegFile(home.path("missing.reg")));
    ASSERT_TRUE(
        importRegFile(write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Old]\n\"x\"=\"1\"\n"
                            "[HKEY_CURRENT_USER\\Software\\Imported]\n\"Gone\"=\"soon\"\n")));
    ASSERT_TRUE(
        importRegFile(write("Windows Registry Editor Version 5.00\r\n\r\n"
                            "; a comment\r\n"
                            "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Imported]\r\n"
                            "@=\"default\"\r\n"
                            "\"Path\"=\"\\\"C:\\\\Program Files\\\\x.exe\\\" %1\"\r\n"
                            "\"Number\"=dword:0000002A\r\n"
                            "\"Binary\"=hex:01,02,\\\r\n"
                            "  03\r\n"
                            "\"Gone\"=-\r\n"
                            "[HKEY_NOWHERE\\Ignored]\r\n"
                            "\"y\"=\"2\"\r\n")));

    Registry r;
    r.OpenKey(HKEY_CURRENT_USER, "Software\\Imported", KEY_READ);
    EXPECT_EQ(r.Values(V{}), V("default"s));
    const std::string path = "\"C:\\Program Files\\x.exe\" %1";
    EXPECT_EQ(r.Values(V("Path"s)), V(path));
    EXPECT_EQ(r.Values(V("Number"s)), V(std::int32_t{42}));
    EXPECT_EQ(r.Values(V("Binary"s)), V{});
    EXPECT_EQ(r.ErrorCode, kUnsupportedKind);
    EXPECT_EQ(r.Values(V("Gone"s)), V{});
    for (const char* gone : {"Software\\Old", "Software\\X"}) {
        r.OpenKey(HKEY_CURRENT_USER, gone, KEY_READ);
        EXPECT_EQ(r.ErrorCode, ERROR_FILE_NOT_FOUND) << gone;
    }
}

TEST_F(RegistryImport, AnUnreadableRegistryFileIsNeverOverwritten) {
    test::writeFile(registryFilePath(), "not a registry file\n");
    EXPECT_FALSE(importRegFile(write("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n")));
    Registry r;
    r.CreateKey(HKEY_CURRENT_USER, "B", KEY_ALL_ACCESS);
    EXPECT_EQ(r.ErrorCode, ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(test::readFile(registryFilePath()), "not a registry file\n");
}

}  // namespace
}  // namespace gleanery
