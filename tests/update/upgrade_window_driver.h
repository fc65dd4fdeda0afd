#pragma once
// Drives the modal update window from inside its own event loop, so that no
// test blocks: polls for the window and runs the test's steps on it. A window
// still open after 15 s is closed by force and reported.

#include "update/upgrade_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace gleanery::test {

class UpgradeWindowDriver {
public:
    // onOpen runs once when the window first shows; onTick on every poll while it shows.
    explicit UpgradeWindowDriver(std::function<void(frmUpgrade&)> onOpen,
                                 std::function<void(frmUpgrade&)> onTick = {})
        : onOpen_(std::move(onOpen)), onTick_(std::move(onTick)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { tick(); });
        poll_.start(10);
        clock_.start();
    }

    bool timedOut() const { return timedOut_; }

    static void press(frmUpgrade& window, const char* button) { window.findChild<QPushButton*>(button)->click(); }

private:
    void tick() {
        frmUpgrade* window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* shown = qobject_cast<frmUpgrade*>(widget); shown && shown->isVisible()) window = shown;
        if (!window) return;
        if (clock_.elapsed() > 15'000) {
            timedOut_ = true;
            window->QDialog::done(QDialog::Rejected);
            return;
        }
        if (!opened_ && onOpen_) onOpen_(*window);
        opened_ = true;
        if (onTick_ && window->isVisible()) onTick_(*window);
    }

    std::function<void(frmUpgrade&)> onOpen_;
    std::function<void(frmUpgrade&)> onTick_;
    QTimer poll_;
    QElapsedTimer clock_;
    bool opened_ = false;
    bool timedOut_ = false;
};

}  // namespace gleanery::test
