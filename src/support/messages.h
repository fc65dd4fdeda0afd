#pragma once
// Questions and messages to the user. The windows answer with message boxes,
// the headless runner prints the text and answers OK, tests script answers.
// The engine itself asks only through ask, so no step of a scan waits on a
// message box.

#include <functional>
#include <string>

namespace gleanery {

inline constexpr const char* kAppTitle = "Gleanery";

class Messages {
public:
    virtual ~Messages() = default;
    // A message with only an OK button.
    virtual void inform(const std::string& text, const std::string& title = kAppTitle) = 0;
    // OK and Cancel; true for OK.
    virtual bool confirm(const std::string& text, const std::string& title = kAppTitle) = 0;
    // OK and Cancel without waiting: the answer (true for OK) reaches the
    // callback once the user has chosen, perhaps before ask returns.
    virtual void ask(const std::string& text, std::function<void(bool)> answer,
                     const std::string& title = kAppTitle) = 0;
    // Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& title = kAppTitle) = 0;
};

}  // namespace gleanery
