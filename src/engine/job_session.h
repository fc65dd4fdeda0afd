#pragma once
// One open job: its settings, its work store beside the setup file and its
// scan controller. Opening restores the settings and opens (or creates) the store;
// closing saves the settings and statistics to the setup file.

#include <QObject>
#include <memory>
#include <string>

#include "engine/scan_controller.h"
#include "engine/work_store.h"
#include "job/job_settings.h"

namespace gleanery {

class JobSession : public QObject {
    Q_OBJECT
public:
    JobSession(Messages& messages, const Clock& clock, const FetchFactory& makeConnection, int maxConnections,
               QObject* parent = nullptr);
    ~JobSession() override;

    // Opens the job of a setup file: the work store beside it (created from
    // the template when missing) and the settings it holds (defaults for a
    // new file). A store that cannot be opened is told to the user once here
    // and again whenever Begin or Resume is pressed.
    void open(const std::string& setupFile);
    // Saves the settings and statistics; throws when the setup file cannot be written.
    void storeSettings();
    // Saves, and tells the user when the setup file cannot be written.
    bool saveOrTell();
    void close();

    JobSettings& settings() { return settings_; }
    ScanController& scan() { return scan_; }
    WorkStore& store() { return store_; }
    const std::string& setupFile() const { return setupFile_; }
    // Why the work store is closed ("" when it is open).
    const std::string& storeProblem() const { return storeProblem_; }

private:
    Messages& messages_;
    JobSettings settings_;
    WorkStore store_;
    ScanController scan_;
    std::string setupFile_;
    std::string storeProblem_;
};

}  // namespace gleanery
