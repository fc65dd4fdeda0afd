// The Help menu's items: the help and About windows open modally over the
// main window, the home page goes to the desktop's browser, and the hidden
// Debug item runs its cipher check on any text.
#include <QApplication>
#include <QDesktopServices>
#include <QInputDialog>
#include <QTimer>

#include "shell/about_window.h"
#include "shell/help_window.h"
#include "shell/main_window_fixture.h"

namespace gleanery::test {
namespace {

// Runs answer on the modal window that the action opens, then closes it.
QString nameOfModalWindowOpenedBy(const std::function<void()>& action,
                                  const std::function<void(QWidget*)>& answer = {}) {
    QString name = "<none>";
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        name = modal->objectName();
        if (answer) answer(modal);
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

TEST_F(MainWindowTest, DebugPassesAnyTextThroughTheCipherAndShowsNothing) {
    for (const char* text : {"", "hello", "0123456789abcdef0123456789", "\xC3\xBC\x01\x02"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(nameOfModalWindowOpenedBy([&] { window->mnuDebug_Click(); },
                                            [&](QWidget* w) {
                                                auto* input = qobject_cast<QInputDialog*>(w);
                                                ASSERT_NE(input, nullptr);
                                                EXPECT_EQ(input->labelText(), "hello");
                                                input->setTextValue(QString::fromUtf8(text));
                                                input->accept();
                                            }),
                  "");
    }
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace gleanery::test

#include "main_window_help_menu_test.moc"
