#pragma once
// The help window: the help pages of the program's data in a browser, with
// Home and Back.

#include <QDialog>
#include <QTextBrowser>
#include <QUrl>

namespace gleanery {

class frmHelp : public QDialog {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);

    // The start page, HELP/HELPMAIN.HTM of the program's data.
    static QUrl homePage();
    QTextBrowser& browser() { return *wb1_; }

    void mnuHome_Click();
    void mnuBack_Click();

private:
    QTextBrowser* wb1_;
};

}  // namespace gleanery
