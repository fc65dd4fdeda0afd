// Keys and values through the Registry class: the value types it handles,
// enumeration, ASCII case, moving down a level, access and deletion.
#include <gtest/gtest.h>

#include <string>

#include "support/registry.h"
#include "support/scoped_home.h"

namespace gleanery {
namespace {

using V = Registry::Variant;
using namespace std::string_literals;

class RegistryValues : public ::testing::Test {
protected:
    testing::ScopedHome home;
};

TEST_F(RegistryValues, WritesAndReadsStringsAndNumbersByNameIndexAndNull) {
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
    Registry r;  // a fresh object reads what the file now holds
    r.OpenKey(HKEY_CURRENT_USER, "Software\\Gleanery\\Test", KEY_READ);
    ASSERT_EQ(r.ErrorCode, ERROR_SUCCESS);
    EXPECT_EQ(r.Values(V("text"s)), V("line one\nline \"two\"\\"s));
    EXPECT_EQ(r.Values(V("7"s)), V(std::int32_t{-5}));
    EXPECT_EQ(r.Values(V{}), V("default"s));
    EXPECT_EQ(r.Values(V(""s)), V("default"s));
    EXPECT_EQ(r.Values(V("NoData"s)), V(std::int32_t{0}));
    EXPECT_EQ(r.ValueCount(), 4);

    EXPECT_EQ(r.Values(V(std::int32_t{1})), V(std::int32_t{-5}));
    EXPECT_EQ(r.ValueName, "7");
    EXPECT_EQ(r.Names(V(std::int32_t{0})), V("Text"s));

    EXPECT_EQ(r.Values(V(std::int32_t{4})), V{});
    EXPECT_EQ(r.ErrorCode, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(r.Values(V("Skipped"s)), V{});
    EXPECT_EQ(r.ErrorCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(r.Values(V(2.0)), V{});
    EXPECT_EQ(r.ErrorCode, kUnsupportedKind);

    r.Values(V("Text"s), V("not allowed"s));
    EXPECT_EQ(r.ErrorCode, ERROR_ACCESS_DENIED);  // the key was opened for reading
}

TEST_F(RegistryValues, KeysIgnoreCaseAndOpeningBelowTheOwnKeyMovesDown) {
    Registry setup;
    setup.CreateKey(HKEY_CURRENT_USER, "Software\\Gleanery\\Beta", KEY_ALL_ACCESS);
    setup.CreateKey(HKEY_CURRENT_USER, "Software\\Gleanery\\alpha", KEY_ALL_ACCESS);

    Registry r;
    r.OpenKey(HKEY_CURRENT_USER, "SOFTWARE", KEY_READ);
    const std::uint32_t parent = r.hKey;
    r.OpenKey(r.hKey, "gleanery", KEY_READ);
    ASSERT_EQ(r.ErrorCode, ERROR_SUCCESS);
    EXPECT_NE(r.hKey, parent);
    Registry other;
    other.hKey = parent;
    other.CloseKey();
    EXPECT_EQ(other.ErrorCode, ERROR_INVALID_HANDLE);  // the parent was released

    EXPECT_EQ(r.SubkeyNames(0), "alpha");
    EXPECT_EQ(r.SubkeyNames(1), "Beta");
    EXPECT_EQ(r.SubkeyNames(2), "");
    EXPECT_EQ(r.ErrorCode, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(r.SubKeyCount(), 2);
    EXPECT_EQ(r.MaxSubKeyLength(), 5);

    const std::uint32_t current = r.hKey;
    r.OpenKey(r.hKey, "missing", KEY_READ);
    EXPECT_EQ(r.ErrorCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(r.hKey, current);  // still holds its key
    EXPECT_TRUE(r.KeyOpen());
}

TEST_F(RegistryValues, DeletesOnlyKeysWithoutSubkeys) {
    Registry r;
    r.CreateKey(HKEY_CURRENT_USER, "Software\\Gleanery\\Leaf", KEY_ALL_ACCESS);
    r.OpenKey(HKEY_CURRENT_USER, "Software", KEY_ALL_ACCESS);
    r.DeleteSubkey("Gleanery");
    EXPECT_EQ(r.ErrorCode, ERROR_ACCESS_DENIED);
    r.DeleteSubkey("GLEANERY\\leaf");
    EXPECT_EQ(r.ErrorCode, ERROR_SUCCESS);
    r.DeleteSubkey("Gleanery\\Leaf");
    EXPECT_EQ(r.ErrorCode, ERROR_FILE_NOT_FOUND);
    r.DeleteSubkey("");
    EXPECT_EQ(r.ErrorCode, ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace gleanery
