#include "engine/job_session.h"

#include "job/setup_file.h"
#include "links/page_parser.h"
#include "links/stylesheet_parser.h"
#include "support/failure.h"
#include "support/messages.h"
#include "support/program_paths.h"

namespace gleanery {

JobSession::JobSession(Messages& messages, const Clock& clock, const FetchFactory& makeConnection, int maxConnections,
                       QObject* parent)
    : QObject(parent),
      messages_(messages),
      settings_(maxConnections),
      scan_(settings_, store_, messages, clock, makeConnection) {
    scan_.setSettingsSaver([this] { saveOrTell(); });
    scan_.setPageParser([this](const std::string& url, const std::string& base, const std::string& body, int code,
                               std::int64_t modified) {
        ParseResults(url, body, settings_, scan_.drives(), scan_.linkQueue(), code >= 200 && code < 300, base,
                     modified);
    });
    scan_.setFileParser([this](const std::string& url, const std::string& file, const std::string& type) {
        if (IsStylesheet(url, type)) ParseStylesheet(url, file, settings_, scan_.drives(), scan_.linkQueue());
    });
}

JobSession::~JobSession() = default;

void JobSession::open(const std::string& setupFile) {
    const Routine step{"frmGeneralRobot", "Display"};
    store_.close();
    setupFile_ = setupFile;
    const std::string storePath = WorkStore::storePathFor(setupFile);
    scan_.setCookieFile(besideSetupFile(setupFile, ".cookies"));
    scan_.setArchiveBase(besideSetupFile(setupFile, ""));
    try {
        store_.open(storePath, programDataDir() + "/BLANK.GLD");
        storeProblem_.clear();
    } catch (const std::exception& e) {
        storeProblem_ = e.what();
        messages_.inform(storeProblem_);
    }
    scan_.setStoreProblem(storeProblem_);
    step([&] { restoreSettings(settings_, setupFile_); });
}

void JobSession::storeSettings() { gleanery::storeSettings(settings_, setupFile_); }

bool JobSession::saveOrTell() {
    try {
        storeSettings();
        return true;
    } catch (const std::exception& e) {
        frmDebug::Display("frmGeneralRobot", "storeSettings", e.what());
        messages_.inform(std::string("The settings of this job could not be saved: ") + e.what());
        return false;
    }
}

void JobSession::close() {
    saveOrTell();
    store_.close();
}

}  // namespace gleanery
