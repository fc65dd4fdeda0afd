#pragma once
// Questions and messages answered by the user through message boxes.

#include <QPointer>
#include <QWidget>

#include "support/messages.h"

namespace gleanery {

class MessageBoxes : public Messages {
public:
    explicit MessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void inform(const std::string& text, const std::string& title = kAppTitle) override;
    bool confirm(const std::string& text, const std::string& title = kAppTitle) override;
    // A window-modal box that does not block: the event loop runs on while it shows.
    void ask(const std::string& text, std::function<void(bool)> answer, const std::string& title = kAppTitle) override;
    bool askYesNo(const std::string& text, const std::string& title = kAppTitle) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace gleanery
