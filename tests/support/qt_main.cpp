#include <gtest/gtest.h>

#include <QApplication>

// Widget tests need an application object; they run on the offscreen platform, which cannot
// raise windows or host a tray and says so every time.
int main(int argc, char** argv) {
    // Offscreen, or offscreen with options given by the test's registration.
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen:")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (msg.contains(QLatin1String("does not support raise()")) ||
            msg.contains(QLatin1String("systemTrayWindowChanged")))
            return;
        if (type != QtDebugMsg) fprintf(stderr, "%s\n", qPrintable(msg));
    });
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
