#pragma once
// A job mirroring http://www.site.example/ into two temporary output folders
// with the job window's default extension lists; links go to a fake queue.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <set>

#include "common/fake_settings.h"
#include "common/scripted_messages.h"
#include "links/fake_link_queue.h"
#include "links/link_admission.h"
#include "links/output_drives.h"
#include "links/page_parser.h"

namespace gleanery::testing {

inline constexpr const char* kPage = "http://www.site.example/dir/index.html";
// URLs in any order; "~/" stands for the site's root, http://www.site.example/.
using Urls = std::multiset<std::string>;

class AdmissionTest : public ::testing::Test {
protected:
    AdmissionTest() {
        const char* types = "JPG JPEG MPG MPEG AVI MOV ZIP GIF WMV JS";
        settings.set(Field::txtLocation.name, "http://www.site.example/")
            .set(Field::txtPageTypes.name, "JSP ASP HTM HTML CGI PHP")
            .set(Field::txtFileTypes.name, types)
            .set(Field::txtFileTypesNon.name, types)
            .set(Field::txtSaveLocation.name, primary())
            .set(Field::txtSaveLocation2.name, secondary())
            .set(Field::txtSpacePrimary.name, "10")
            .set(Field::txtSpaceSecondary.name, "10")
            .select(Field::optBrowse.name, 1)
            .choose(Field::cboMaxDepth.name, 12, "12")
            .tick(Field::chkScanExt.name)
            .tick(Field::chkAllowParameters.name);
    }
    std::string primary() const { return primary_.path().toStdString(); }
    std::string secondary() const { return secondary_.path().toStdString(); }

    void admit(std::string_view link, LinkRole role = LinkRole::Anchor, std::string_view page = kPage) {
        LinkAdmission(settings, drives, queue).HandleResult(page, link, role);
    }
    void parse(std::string_view text) { ParseResults(kPage, text, settings, drives, queue); }
    static Urls urls(const std::vector<FakeLinkQueue::Row>& rows) {
        constexpr std::string_view root = "http://www.site.example/";
        Urls u;
        for (const auto& row : rows) u.insert(row.url.starts_with(root) ? "~/" + row.url.substr(root.size()) : row.url);
        return u;
    }

    struct Drives : FreeSpaceSource {
        std::uint64_t freeBytes(const std::string&) const override { return free; }
        std::uint64_t free = 100'000'000'000;
    } space;
    FakeSettings settings;
    ScriptedMessages messages;
    OutputDrives drives{settings, space};
    FakeLinkQueue queue;

private:
    QTemporaryDir primary_, secondary_;
};

}  // namespace gleanery::testing
