#pragma once
// A per-user folder, a local update server and scripted messages for the update tests.

#include "common/live_site.h"
#include "common/modal_answer.h"
#include "common/scoped_environment.h"
#include "common/scripted_messages.h"
#include "common/test_server.h"
#include "compat/ini_profile.h"
#include "engine/fetch_completion_watch.h"
#include "engine/network_fetch.h"
#include "support/scoped_home.h"
#include "support/text.h"
#include "update/upgrade_window.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <string>

namespace gleanery::test {

class UpdateFixture : public ::testing::Test {
protected:
    UpdateFixture() { setSetting("UPDATEURL", server.url("/glversion.txt")); }

    void setSetting(const char* key, const std::string& value) {
        WritePrivateProfileString("SETTINGS", key, value, home.path("GLSETUP.INI"));
    }
    std::string setting(const char* key) const {
        return GetPrivateProfileString("SETTINGS", key, "<absent>", home.path("GLSETUP.INI"));
    }
    std::string installerPath() const { return home.path("GLUP.EXE"); }

    const FetchFactory networkFetch = [](int) { return makeNetworkFetch(); };
    gleanery::testing::ScopedHome home;
    // Updates come over https only.
    const ScopedEnvironment authority{"SSL_CERT_FILE", kThrowawayTls.certificateFile.c_str()};
    TestServer server{&kThrowawayTls};
    gleanery::testing::ScriptedMessages messages;
};

// Clicks a button of the update window.
inline void press(frmUpgrade& window, const char* button) { window.findChild<QPushButton*>(button)->click(); }

}  // namespace gleanery::test
