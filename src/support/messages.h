#pragma once
// Questions and messages to the user. The windows answer with message boxes,
// the headless runner prints the text and answers OK, tests script answers.

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
    // Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& title = kAppTitle) = 0;
};

}  // namespace gleanery
