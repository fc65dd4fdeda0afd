#pragma once
// A job whose stored pages are rewritten, with the usual extension lists.
#include <gtest/gtest.h>

#include <string>

#include "common/fake_settings.h"
#include "common/scripted_messages.h"
#include "links/link_rewriting.h"
#include "links/output_drives.h"

namespace gleanery {

class LinkRewriting : public ::testing::Test {
protected:
    LinkRewriting() {
        setFolders("/mirror/one", "/mirror/two");
        settings.set("txtPageTypes", "JSP ASP HTM HTML CGI PHP").set("txtFileTypes", "JPG GIF ZIP");
        settings.set("txtFileTypesNon", "JPG GIF");
    }
    void setFolders(const std::string& primary, const std::string& secondary) {
        settings.set("txtSaveLocation", primary).set("txtSaveLocation2", secondary);
    }
    std::string file(const std::string& link, const std::string& page = kPage) const {
        return ConvertLocalFile(page, link, settings, drives);
    }
    std::string rewrite(const std::string& text) const { return ConvertLocal(kPage, text, settings, drives); }
    // Runs a table of {input, expected} through one conversion.
    template <class Convert, std::size_t N>
    static void expectEach(const char* const (&cases)[N][2], Convert convert) {
        for (const auto& c : cases) EXPECT_EQ(convert(c[0]), c[1]) << "input: " << c[0];
    }

    static constexpr const char* kPage = "http://srv.dom.example/dir/page.htm";
    FakeSettings settings;
    testing::ScriptedMessages messages;
    OutputDrives drives{settings, messages};
};

}  // namespace gleanery
