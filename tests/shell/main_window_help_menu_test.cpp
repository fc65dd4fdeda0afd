// The Help menu's items: the help and About windows open modally over the
// main window, and the home page goes to the desktop's browser.
#include <QApplication>
#include <QDesktopServices>
#include <QTimer>

#include "shell/about_window.h"
#include "shell/help_window.h"
#include "shell/main_window_fixture.h"

namespace gleanery::test {
namespace {

// Names the modal window that the action opens, and closes it.
QString nameOfModalWindowOpenedBy(const std::function<void()>& action) {
    QString name = "<none>";
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        name = modal->objectName();
        modal->close();
    });
    action();
    return name;
}

TEST_F(MainWindowTest, HelpAndAboutOpenModallyOverTheMainWindow) {
    EXPECT_EQ(nameOfModalWindowOpenedBy([&] { window->menus().mnGleaneryHelp->trigger(); }), "frmHelp");
    EXPECT_EQ(nameOfModalWindowOpenedBy([&] { window->menus().mnuAbout->trigger(); }), "frmSplash");
}

}  // namespace

// Receives the URLs that the desktop would open in a browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls.push_back(url); }

public:
    std::vector<QUrl> urls;
};

namespace {

TEST_F(MainWindowTest, HomePageOpensInTheDesktopsBrowser) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    window->menus().mnuGLHomePage->trigger();
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(catcher.urls.size(), 1u);
    EXPECT_EQ(catcher.urls[0], QUrl("https://gleanery.org/"));
}

}  // namespace
}  // namespace gleanery::test

#include "main_window_help_menu_test.moc"
