// One setup-file line applied to a job, as the command line's --set does.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "job/job_settings.h"
#include "job/setup_file.h"

namespace gleanery {
namespace {

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

// The typed keys and the setup-file keys come from one table: each key must
// read back what was set under its name, with the accessor of its own kind.
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
#define EXPECT_TEXT(name, ...) set(#name, "by name"); EXPECT_EQ(job.text(Field::name), "by name");
#define EXPECT_CHECK(name, ...) flips(Field::name, -1);
#define EXPECT_LIST(name, ...) set(#name, "1"); EXPECT_EQ(job.listIndex(Field::name), 1) << #name;
#define EXPECT_OPTIONS(name, ...) set(#name ":2", "True"); EXPECT_EQ(job.selectedOption(Field::name), 2);
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
