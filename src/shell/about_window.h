#pragma once
// The About window: product name, version and platform. Its Done button
// appears after a while; a key, a click on the frame or Done closes it.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace gleanery {

class frmSplash : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDoneDelayMs = 15000;

    explicit frmSplash(QWidget* parent = nullptr);

    // "Version " and the program's major, minor and revision numbers.
    static QString versionText();

    const QTimer& timer() const { return Timer1_; }
    // The timer's tick: shows Done.
    void Timer1_Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* Frame1_;
    QPushButton* cmdDone_;
    QTimer Timer1_;
};

}  // namespace gleanery
