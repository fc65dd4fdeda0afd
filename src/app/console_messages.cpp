#include "app/console_messages.h"

#include <cstdio>

#include "app/progress_line.h"

namespace gleanery {

void ConsoleMessages::print(const std::string& line) {
    if (progress_) progress_->breakLine();
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void ConsoleMessages::inform(const std::string& text, const std::string& title) { print("[" + title + "] " + text); }

bool ConsoleMessages::confirm(const std::string& text, const std::string& title) {
    print("[" + title + "] " + text + " -> OK");
    return true;
}

void ConsoleMessages::ask(const std::string& text, std::function<void(bool)> answer, const std::string& title) {
    answer(confirm(text, title));
}

bool ConsoleMessages::askYesNo(const std::string& text, const std::string& title) {
    print("[" + title + "] " + text + " -> Yes");
    return true;
}

}  // namespace gleanery
