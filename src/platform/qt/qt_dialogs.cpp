#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace marrowick {

namespace {

constexpr int aboutIconSize = 64;

}  // namespace

QtDialogs::QtDialogs() = default;

QtDialogs::~QtDialogs() { delete about_; }

void QtDialogs::activate() {
    if (QWidget* w = QApplication::activeModalWidget()) w->activateWindow();
}

int QtDialogs::runModal(const Alert& alert) {
    QMessageBox box;
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("Marrowick"));
    box.setText(QString::fromStdString(alert.message));
    box.setInformativeText(QString::fromStdString(alert.informative));
    std::vector<QPushButton*> buttons;
    for (const std::string& title : alert.buttons) {
        buttons.push_back(box.addButton(QString::fromStdString(title), QMessageBox::ActionRole));
    }
    if (!buttons.empty()) box.setDefaultButton(buttons.front());
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) return alertFirstButton + static_cast<int>(i);
    }
    return alertFirstButton - 1;  // closed another way
}

void QtDialogs::showAbout(const AboutInfo& info) {
    if (about_ == nullptr) {
        // A dialog of fixed size whose frame offers only closing.
        about_ = new QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
        const QString title = QStringLiteral("About %1").arg(QString::fromStdString(info.name));
        about_->setWindowTitle(title);
        auto* layout = new QVBoxLayout(about_);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->setContentsMargins(24, 20, 24, 20);
        layout->setSpacing(8);
        auto* icon = new QLabel(about_);
        icon->setObjectName(QStringLiteral("icon"));
        icon->setFixedSize(aboutIconSize, aboutIconSize);
        icon->setAlignment(Qt::AlignCenter);
        icon->setAccessibleName(QString::fromStdString(info.name));
        auto* name = new QLabel(QString::fromStdString(info.name), about_);
        QFont large = name->font();
        large.setBold(true);
        large.setPointSizeF(large.pointSizeF() * 1.3);
        name->setFont(large);
        name->setAlignment(Qt::AlignCenter);
        // Wide enough that a window manager's title bar shows the whole title beside its button.
        name->setMinimumWidth(QFontMetrics(large).horizontalAdvance(title) * 2);
        auto* version = new QLabel(QStringLiteral("Version %1").arg(QString::fromStdString(info.version)), about_);
        version->setAlignment(Qt::AlignCenter);
        auto* credits = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                       .arg(QString::fromStdString(info.creditsLink).toHtmlEscaped(),
                                            QString::fromStdString(info.creditsText).toHtmlEscaped()),
                                   about_);
        credits->setObjectName(QStringLiteral("credits"));
        credits->setAlignment(Qt::AlignCenter);
        credits->setTextInteractionFlags(Qt::TextBrowserInteraction);
        credits->setOpenExternalLinks(true);
        credits->setAccessibleName(QString::fromStdString(info.creditsText));
        QFont small = credits->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        credits->setFont(small);
        layout->addWidget(icon);
        layout->addWidget(name);
        layout->addWidget(version);
        layout->addSpacing(4);
        layout->addWidget(credits);
    }
    // Drawn at the resolution of the monitor it shows on, not stretched from a smaller one.
    if (auto* icon = about_->findChild<QLabel*>(QStringLiteral("icon"))) {
        icon->setPixmap(
            QApplication::windowIcon().pixmap(QSize(aboutIconSize, aboutIconSize), about_->devicePixelRatioF()));
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

}  // namespace marrowick
