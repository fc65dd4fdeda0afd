#pragma once
// Answers a modal window from inside its own event loop: once, when a window
// of type Window first shows. One still open after 15 s is closed by force and
// reported, so that a window nobody answers fails its test instead of hanging it.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <utility>

namespace gleanery::test {

template <class Window>
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(Window&)> answer) : answer_(std::move(answer)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { tick(); });
        poll_.start(10);
        clock_.start();
    }

    bool answered() const { return !answer_; }
    bool timedOut() const { return timedOut_; }

private:
    void tick() {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!window) return;
        if (clock_.elapsed() > 15'000) {
            timedOut_ = true;
            window->QDialog::done(QDialog::Rejected);
        } else if (answer_) {
            std::exchange(answer_, nullptr)(*window);
        }
    }

    std::function<void(Window&)> answer_;
    QTimer poll_;
    QElapsedTimer clock_;
    bool timedOut_ = false;
};

}  // namespace gleanery::test
