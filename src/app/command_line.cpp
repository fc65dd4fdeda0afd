#include "app/command_line.h"

#include "support/text.h"

namespace gleanery {

const std::string& usageText() {
    static const std::string usage = [] {
        std::string text =
            "Usage:\n"
            "  gleanery [SETUP.glf]                 open the main window (and that job)\n"
            "  gleanery grab URL [DIR]              grab a site into DIR (default: a folder named after\n"
            "                                       its host); run again in DIR, it resumes\n"
            "  gleanery URL [DIR]                   the same, where there is no display\n"
            "  gleanery --begin SETUP.glf           begin the job's scan without windows\n"
            "  gleanery --resume SETUP.glf          resume the job's scan without windows\n"
            "           [OPTION ...]                change settings first; they are saved\n"
            "           [--set FIELD=VALUE ...]     change any setting by its setup-file key\n"
            "  gleanery --help | --version\n"
            "\nOptions:\n";
        for (const LongOptionHelp& o : longOptionHelp()) {
            std::string line = std::string("  ") + o.usage;
            line.resize(std::max<std::size_t>(line.size() + 1, 39), ' ');
            text += line + o.text + "\n";
        }
        text +=
            "\nA missing setup file is created with the defaults. Exit codes: 0 site scanned,\n"
            "3 scan stopped (signal, both output drives full), 2 bad usage, a start address\n"
            "that is not an http or https address, or a setup file that cannot be read or written,\n"
            "4 the start page got no answer (network failure), 8 the start page got an error\n"
            "status (HTTP 400 and up).\n";
        return text;
    }();
    return usage;
}

namespace {
bool looksLikeAddress(const std::string& text) {
    return startsWithNoCase(text, "http://") || startsWithNoCase(text, "https://");
}
}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args, bool display) {
    CommandLine cl;
    auto invalid = [&](std::string why) {
        cl.action = CommandLine::Action::Invalid;
        cl.error = std::move(why);
        return cl;
    };
    std::vector<std::string> positional;
    bool grab = false;
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
        } else if (const std::optional<bool> takesValue = longOptionTakesValue(a)) {
            if (*takesValue && i + 1 >= args.size()) return invalid(a + " needs a value");
            std::string error;
            const std::vector<OptionSetting> given = longOptionSettings(a, *takesValue ? args[++i] : "", error);
            if (!error.empty()) return invalid(error);
            cl.options.insert(cl.options.end(), given.begin(), given.end());
        } else if (!a.empty() && a[0] == '-') {
            return invalid("unknown option " + a);
        } else if (a == "grab" && positional.empty() && cl.action == CommandLine::Action::Windows && !grab) {
            grab = true;
        } else {
            positional.push_back(a);
        }
    }
    const bool wantsGrab = grab || (!display && !positional.empty() && looksLikeAddress(positional[0]));
    if (wantsGrab) {
        if (cl.action != CommandLine::Action::Windows) return invalid("grab goes without --begin and --resume");
        if (positional.empty() || positional.size() > 2) return invalid("grab needs an address and at most a folder");
        cl.action = CommandLine::Action::Grab;
        cl.url = positional[0];
        if (positional.size() == 2) cl.folder = positional[1];
        return cl;
    }
    if (positional.size() > 1) return invalid("only one setup file, not also " + positional[1]);
    if (!positional.empty()) {
        if (!cl.setupFile.empty()) return invalid("only one setup file, not also " + positional[0]);
        cl.setupFile = positional[0];
    }
    if (cl.action == CommandLine::Action::Windows && (!cl.settings.empty() || !cl.options.empty()))
        return invalid("settings go with grab, --begin or --resume");
    return cl;
}

}  // namespace gleanery
