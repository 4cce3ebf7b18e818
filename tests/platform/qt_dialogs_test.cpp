#include "platform/qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>

namespace marrowick {
namespace {

QDialog* aboutWindow() {
    QDialog* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible()) found = d;
    }
    return found;
}

TEST(QtDialogs, AboutIsOneFixedSizeDialogWithOnlyACloseButton) {
    QtDialogs dialogs;
    const AboutInfo info{"Marrowick", "1.2.3", "Developed by marrowick.app", "https://marrowick.app"};
    dialogs.showAbout(info);
    QDialog* about = aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "About Marrowick");

    const Qt::WindowFlags flags = about->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(about->minimumSize(), about->maximumSize()) << "the window manager must not offer resizing";
    EXPECT_EQ(about->size(), about->minimumSize());
    // Room for the title in a title bar, whose font is often larger and bold.
    QFont titleFont = about->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    EXPECT_GT(about->width(), QFontMetrics(titleFont).horizontalAdvance(about->windowTitle()) + 100);

    QStringList texts;
    QLabel* credits = nullptr;
    QLabel* version = nullptr;
    for (QLabel* l : about->findChildren<QLabel*>()) {
        texts << l->text();
        if (l->objectName() == "credits") credits = l;
        if (l->text().startsWith("Version")) version = l;
    }
    EXPECT_TRUE(texts.contains("Marrowick")) << texts.join('|').toStdString();
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Version 1.2.3");
    ASSERT_NE(credits, nullptr);
    EXPECT_EQ(credits->text(), "<a href=\"https://marrowick.app\">Developed by marrowick.app</a>");
    EXPECT_TRUE(credits->alignment().testFlag(Qt::AlignHCenter));
    EXPECT_LT(credits->font().pointSizeF(), version->font().pointSizeF());
    EXPECT_TRUE(credits->openExternalLinks());
    EXPECT_TRUE(credits->textInteractionFlags().testFlag(Qt::LinksAccessibleByKeyboard));

    // A second call brings the same window forward.
    dialogs.showAbout(info);
    EXPECT_EQ(aboutWindow(), about);
}

}  // namespace
}  // namespace marrowick
