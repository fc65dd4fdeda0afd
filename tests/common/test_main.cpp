// Tests run inside a Qt application object, as the program does, so timers,
// signals and the network classes behave as they do for users.
#include <gtest/gtest.h>

#include <QCoreApplication>
#ifdef GLEANERY_HAS_WINDOWS
#include <QApplication>
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef GLEANERY_HAS_WINDOWS
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
