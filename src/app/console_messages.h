#pragma once
// Messages of a scan without windows: printed to stderr and answered with OK
// (and Yes), as a user who started the scan from the command line wants.

#include "support/messages.h"

namespace gleanery {

class ProgressLine;

class ConsoleMessages final : public Messages {
public:
    void inform(const std::string& text, const std::string& title) override;
    bool confirm(const std::string& text, const std::string& title) override;
    void ask(const std::string& text, std::function<void(bool)> answer, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    // Status texts and progress share one stream: a message first ends the
    // progress line being redrawn.
    void print(const std::string& line);
    void setProgressLine(ProgressLine* progress) { progress_ = progress; }

private:
    ProgressLine* progress_ = nullptr;
};

}  // namespace gleanery
