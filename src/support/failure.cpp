#include "support/failure.h"

#include <QLoggingCategory>

namespace gleanery {

// Off by default; QT_LOGGING_RULES="gleanery.failure.debug=true" shows them.
Q_LOGGING_CATEGORY(lcFailure, "gleanery.failure", QtInfoMsg)

namespace {
frmDebug::Presenter& presenter() {
    static frmDebug::Presenter p;
    return p;
}
FailureReport& last() {
    static FailureReport r;
    return r;
}
}  // namespace

bool frmDebug::Display(const std::string& sForm, const std::string& sProc, const std::string& description) {
    last() = {sForm, sProc, description};
    qCDebug(lcFailure, "%s::%s: %s", sForm.c_str(), sProc.c_str(), description.c_str());
    if (presenter()) return presenter()(last());
    return false;
}

void frmDebug::setPresenter(Presenter p) { presenter() = std::move(p); }

const FailureReport& frmDebug::lastReport() { return last(); }

bool Routine::report(const char* description) const { return frmDebug::Display(module_, name_, description); }

}  // namespace gleanery
