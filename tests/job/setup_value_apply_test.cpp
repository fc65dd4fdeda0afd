// One setup-file line applied to a job, as the command line's --set does.
#include <gtest/gtest.h>

#include "job/job_settings.h"
#include "job/setup_file.h"

namespace gleanery {
namespace {

TEST(ApplySetupValue, AnIndexedKeyReachesOneMemberAndAPlainKeyAll) {
    JobSettings job;
    EXPECT_TRUE(applySetupValue(job, "txtLocation", "http://example.org/"));
    EXPECT_EQ(job.text("txtLocation"), "http://example.org/");
    EXPECT_TRUE(applySetupValue(job, "chkHour", "0"));
    EXPECT_TRUE(applySetupValue(job, "chkHour:7", "1"));
    for (int h = 0; h < 24; ++h) EXPECT_EQ(job.checked("chkHour", h), h == 7) << h;
    EXPECT_TRUE(applySetupValue(job, "optBrowse:2", "True"));
    EXPECT_EQ(job.selectedOption("optBrowse"), 2);
    // A line break would start a line of its own in the setup file.
    EXPECT_TRUE(applySetupValue(job, "txtPassword", "a\nb"));
    EXPECT_EQ(job.text("txtPassword"), "a b");
}

TEST(ApplySetupValue, RefusesKeysNoControlReads) {
    JobSettings job;
    const JobSettings untouched;
    for (const char* key : {"txtNope", "", "txtName:0", "chkHour:24", "chkHour:07", "optBrowse:3", "txtName=x"})
        EXPECT_FALSE(applySetupValue(job, key, "1")) << key;
    for (const FieldSpec& c : untouched.controls()) EXPECT_EQ(job.storedValue(c), untouched.storedValue(c));
}

}  // namespace
}  // namespace gleanery
