// The connection limit from the user's Internet Settings, and the offer to
// raise it by importing the shipped inet.reg.
#include <gtest/gtest.h>

#include <QFile>
#include <optional>
#include <string>

#include "common/scripted_messages.h"
#include "compat/connection_limit.h"
#include "compat/registry.h"
#include "support/scoped_home.h"

namespace gleanery {
namespace {

using V = Registry::Variant;

class ConnectionLimit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::copy(GLEANERY_TEST_DATA_DIR "/inet.reg", QString::fromStdString(home.path("inet.reg"))));
    }
    void setValues(std::optional<V> perServer, std::optional<V> perOneZeroServer) {
        Registry r;
        r.CreateKey(HKEY_CURRENT_USER, kInternetSettingsKey, KEY_ALL_ACCESS);
        if (perServer) r.Values(V(std::string("MaxConnectionsPerServer")), *perServer);
        if (perOneZeroServer) r.Values(V(std::string("MaxConnectionsPer1_0Server")), *perOneZeroServer);
        r.CloseKey();
    }
    testing::ScopedHome home;
    testing::ScriptedMessages messages;
};

TEST_F(ConnectionLimit, TakesTheSmallerValueButAtLeastTwo) {
    const struct {
        std::optional<V> perServer, perOneZeroServer;
        int limit;
        bool asked;
    } cases[] = {
        {V(12), V(16), 12, false},
        {V(std::string("6")), V(9), 6, true},  // a string value counts by its number
        {V(40), std::nullopt, 2, true},
        {V(40000), V(50000), 2, true},  // too large for the 16-bit limit: skipped
    };
    for (const auto& c : cases) {
        testing::ScopedHome fresh;
        setValues(c.perServer, c.perOneZeroServer);
        EXPECT_EQ(CheckConnectionLimit(false, messages), c.limit);
        EXPECT_TRUE(messages.shown.empty());
        messages.answers = {false};
        EXPECT_EQ(CheckConnectionLimit(true, messages), c.limit) << c.limit;
        EXPECT_EQ(messages.shown.size(), c.asked ? 1u : 0u) << c.limit;
        messages.shown.clear();
    }
}

TEST_F(ConnectionLimit, OkImportsTheShippedFileAndCancelChangesNothing) {
    messages.answers = {false};
    EXPECT_EQ(CheckConnectionLimit(true, messages), 2);
    EXPECT_EQ(CheckConnectionLimit(false, messages), 2);

    messages.answers = {true};
    EXPECT_EQ(CheckConnectionLimit(true, messages), 10);
    EXPECT_EQ(CheckConnectionLimit(false, messages), 10);
    Registry r;
    r.OpenKey(HKEY_CURRENT_USER, kInternetSettingsKey, KEY_READ);
    EXPECT_EQ(r.Values(V(std::string("MaxConnectionsPerServer"))), V(10));
    EXPECT_EQ(r.Values(V(std::string("MaxConnectionsPer1_0Server"))), V(10));
    messages.shown.clear();
    EXPECT_EQ(CheckConnectionLimit(true, messages), 10);
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace gleanery
