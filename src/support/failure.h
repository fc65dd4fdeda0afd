#pragma once
// Trapped failures skip only the failing statement: the routine reports where
// it failed and goes on with its next statement, unless the report asks for
// the statement to be run again.

#include <functional>
#include <string>
#include <string_view>

namespace gleanery {

struct FailureReport {
    std::string module;       // form, module or class of the failing routine
    std::string routine;      // the routine's own name
    std::string description;  // what failed
};

// The report window's entry point. Without a presenter it answers "go on"
// (false) and shows nothing; a diagnostic run installs a presenter that shows
// the report and answers with the user's choice (true = retry).
class frmDebug {
public:
    using Presenter = std::function<bool(const FailureReport&)>;
    static bool Display(const std::string& sForm, const std::string& sProc, const std::string& description = {});
    static void setPresenter(Presenter presenter);
    static const FailureReport& lastReport();
};

// One routine's trap: run each fallible statement through it.
//   const Routine step{"frmGeneralRobot", "cmdBegin_Click"};
//   step([&] { store.deleteRoutes(); });
class Routine {
public:
    constexpr Routine(const char* module, const char* name) : module_(module), name_(name) {}

    // Returns true when the statement ran to its end.
    template <class Statement>
    bool operator()(Statement&& statement) const {
        for (;;) {
            try {
                statement();
                return true;
            } catch (const std::exception& e) {
                if (!report(e.what())) return false;
            } catch (...) {
                if (!report("unknown failure")) return false;
            }
        }
    }

    const char* module() const { return module_; }
    const char* name() const { return name_; }

private:
    bool report(const char* description) const;
    const char* module_;
    const char* name_;
};

// For the few routines that skip their failures without reporting them.
template <class Statement>
bool skipSilently(Statement&& statement) {
    try {
        statement();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace gleanery
