#include "shell/scan_toolbar.h"

#include <QStyle>

#include "engine/scan_controller.h"

namespace gleanery {

ScanToolBar::ScanToolBar(QWidget* parent) : QToolBar(parent) {
    setObjectName("Toolbar1");
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The toolbar shows and hides with the job window; its own menu could undo that.
    toggleViewAction()->setVisible(false);
    add("Stop", "Stop Scan", QStyle::SP_MediaStop);
    add("Resume", "Resume Scan", QStyle::SP_MediaPlay);
    add("Begin", "Begin Scan", QStyle::SP_BrowserReload);
}

QAction* ScanToolBar::add(const char* key, const char* toolTip, int standardIcon) {
    QAction* a = addAction(style()->standardIcon(static_cast<QStyle::StandardPixmap>(standardIcon)), QString());
    a->setObjectName(key);
    a->setData(QString::fromUtf8(key));
    a->setToolTip(QString::fromUtf8(toolTip));
    connect(a, &QAction::triggered, this, [this, a] { emit buttonClicked(a->data().toString()); });
    return a;
}

QAction* ScanToolBar::button(const QString& key) const {
    for (QAction* a : actions())
        if (a->data().toString() == key) return a;
    return nullptr;
}

void ScanToolBar::follow(const ScanController& scan) {
    mirror(scan.state());
    connect(&scan, &ScanController::stateChanged, this, &ScanToolBar::mirror);
}

void ScanToolBar::stopFollowing(const ScanController& scan) { disconnect(&scan, nullptr, this, nullptr); }

void ScanToolBar::mirror(ScanState state) {
    button("Stop")->setEnabled(canStop(state));
    button("Resume")->setEnabled(canStart(state));
    button("Begin")->setEnabled(canStart(state));
}

}  // namespace gleanery
