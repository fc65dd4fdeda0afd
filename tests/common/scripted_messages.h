#pragma once
// Messages answered by the test: every text shown is recorded, and questions
// are answered from a script (OK / Yes when the script is empty).
#include <deque>
#include <string>
#include <vector>

#include "support/messages.h"

namespace gleanery::testing {

class ScriptedMessages final : public Messages {
public:
    struct Shown {
        std::string text, title;
    };
    void inform(const std::string& text, const std::string& title) override { shown.push_back({text, title}); }
    bool confirm(const std::string& text, const std::string& title) override { return answer(text, title); }
    bool askYesNo(const std::string& text, const std::string& title) override { return answer(text, title); }
    void ask(const std::string& text, std::function<void(bool)> reply, const std::string& title) override {
        reply(answer(text, title));
    }

    int count(const std::string& text) const {
        int n = 0;
        for (const auto& s : shown) n += s.text == text ? 1 : 0;
        return n;
    }

    std::vector<Shown> shown;
    std::deque<bool> answers;  // front first; true = OK / Yes

private:
    bool answer(const std::string& text, const std::string& title) {
        shown.push_back({text, title});
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace gleanery::testing
