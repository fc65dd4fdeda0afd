// Which descriptor counts as newer than the running version 1.10.3.
#include "update/version_descriptor.h"

#include <gtest/gtest.h>

namespace gleanery {
namespace {

struct Comparison {
    const char* major;
    const char* minor;
    const char* rev;
    bool newer;
};

void PrintTo(const Comparison& c, std::ostream* os) { *os << c.major << "." << c.minor << "." << c.rev; }

class UpdateVersionComparison : public ::testing::TestWithParam<Comparison> {};

TEST_P(UpdateVersionComparison, ComparesNumbersNotTexts) {
    VersionDescriptor descriptor;
    descriptor.major = GetParam().major;
    descriptor.minor = GetParam().minor;
    descriptor.rev = GetParam().rev;
    EXPECT_EQ(isNewer(descriptor, ProgramVersion{1, 10, 3}), GetParam().newer);
}

INSTANTIATE_TEST_SUITE_P(
    AgainstRunning1_10_3, UpdateVersionComparison,
    ::testing::Values(Comparison{"1", "10", "3", false},      // the same version
                      Comparison{"1", "10", "4", true},       // a later revision
                      Comparison{"1", "2", "99", false},      // "2" sorts after "10" as text, not as a number
                      Comparison{"1", "11", "0", true},       // a later minor outweighs the revision
                      Comparison{"2", "0", "0", true},        // a later major outweighs everything
                      Comparison{"0", "99", "99", false},     // an older major
                      Comparison{"01", "010", "04", true},    // leading zeros read as numbers
                      Comparison{"1", "10", "4beta", true},   // the number at the start counts
                      Comparison{"1", "10", "beta4", false},  // no number at the start is 0
                      Comparison{"0", "0", "0", false}));     // what a missing descriptor gives

}  // namespace
}  // namespace gleanery
