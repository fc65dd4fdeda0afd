// Keys and values through the Registry class: the value types it handles,
// ASCII case and access.
#include <gtest/gtest.h>

#include <string>

#include "compat/registry.h"
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

}  // namespace
}  // namespace gleanery
