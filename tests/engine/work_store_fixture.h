#pragma once
// A fresh folder per test with a template store in it, and helpers to open
// the job's store there.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "engine/work_store.h"

namespace gleanery::testing {

class WorkStoreTest : public ::testing::Test {
protected:
    std::string file(const std::string& name) const { return folder_.path().toStdString() + "/" + name; }

    const std::string& templatePath() {
        if (template_.empty()) {
            template_ = file("BLANK.GLD");
            WorkStore::createTemplate(template_);
        }
        return template_;
    }

    std::string storePath() const { return file("job.GLD"); }

    void openStore() { store.open(storePath(), templatePath()); }

    void reopenStore() {
        store.close();
        openStore();
    }

    WorkStore store;

private:
    QTemporaryDir folder_;
    std::string template_;
};

}  // namespace gleanery::testing
