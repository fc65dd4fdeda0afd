#include "app/command_line.h"

namespace gleanery {

const char* const kUsage =
    "Usage:\n"
    "  gleanery [SETUP.glf]                 open the main window (and that job)\n"
    "  gleanery --begin SETUP.glf           begin the job's scan without windows\n"
    "  gleanery --resume SETUP.glf          resume the job's scan without windows\n"
    "           [--set FIELD=VALUE ...]     change settings (setup-file keys) first; they are saved\n"
    "  gleanery --help | --version\n"
    "\n"
    "A missing setup file is created with the defaults. Exit codes: 0 site scanned,\n"
    "3 scan stopped (signal, both output drives full), 2 bad usage, a start address\n"
    "that is not an http or https address, or a setup file that cannot be read or written,\n"
    "4 the start page got no answer (network failure), 8 the start page got an error\n"
    "status (HTTP 400 and up).\n";

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    auto invalid = [&](std::string why) {
        cl.action = CommandLine::Action::Invalid;
        cl.error = std::move(why);
        return cl;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            cl.action = CommandLine::Action::Help;
            return cl;
        }
        if (a == "--version") {
            cl.action = CommandLine::Action::Version;
            return cl;
        }
        if (a == "--begin" || a == "--resume") {
            if (cl.action != CommandLine::Action::Windows || !cl.setupFile.empty())
                return invalid("give one of --begin and --resume, once, with one setup file");
            if (i + 1 >= args.size()) return invalid(a + " needs a setup file");
            cl.action = a == "--begin" ? CommandLine::Action::Begin : CommandLine::Action::Resume;
            cl.setupFile = args[++i];
        } else if (a == "--set") {
            if (i + 1 >= args.size()) return invalid("--set needs FIELD=VALUE");
            const std::string& kv = args[++i];
            const auto eq = kv.find('=');
            if (eq == std::string::npos || eq == 0) return invalid("--set needs FIELD=VALUE, not '" + kv + "'");
            cl.settings.emplace_back(kv.substr(0, eq), kv.substr(eq + 1));
        } else if (!a.empty() && a[0] == '-') {
            return invalid("unknown option " + a);
        } else {
            if (!cl.setupFile.empty()) return invalid("only one setup file, not also " + a);
            cl.setupFile = a;
        }
    }
    if (cl.action == CommandLine::Action::Windows && !cl.settings.empty())
        return invalid("--set goes with --begin or --resume");
    return cl;
}

}  // namespace gleanery
