#include "shell/help_window.h"

#include <QFile>
#include <QMenuBar>
#include <QVBoxLayout>

#include "support/program_paths.h"
#include "support/ui/twips.h"

namespace gleanery {

frmHelp::frmHelp(QWidget* parent) : QDialog(parent), wb1_(new QTextBrowser(this)) {
    setObjectName("frmHelp");
    setWindowTitle(QStringLiteral("Gleanery - Help"));
    resize(twips(10800), twips(8400));

    auto* menu = new QMenuBar(this);
    QAction* home = menu->addAction(QStringLiteral("Home"));
    home->setObjectName("mnuHome");
    QAction* back = menu->addAction(QStringLiteral("Back"));
    back->setObjectName("mnuBack");
    connect(home, &QAction::triggered, this, &frmHelp::mnuHome_Click);
    connect(back, &QAction::triggered, this, &frmHelp::mnuBack_Click);

    wb1_->setObjectName("wb1");
    // Pages of the web (the home page) open in the desktop's browser.
    wb1_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menu);
    layout->addWidget(wb1_);

    mnuHome_Click();
}

QUrl frmHelp::homePage() {
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(programDataDir())) +
                               QStringLiteral("/HELP/HELPMAIN.HTM"));
}

void frmHelp::mnuHome_Click() { wb1_->setSource(homePage()); }

// Without an earlier page there is nothing to go back to, and nothing happens.
void frmHelp::mnuBack_Click() { wb1_->backward(); }

}  // namespace gleanery
