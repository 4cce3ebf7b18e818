#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace marrowick {

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
        about_ = new QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
        about_->setWindowTitle(QStringLiteral("About %1").arg(QString::fromStdString(info.name)));
        auto* layout = new QVBoxLayout(about_);
        auto* icon = new QLabel(about_);
        icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
        icon->setAlignment(Qt::AlignCenter);
        auto* name = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromStdString(info.name).toHtmlEscaped()));
        name->setAlignment(Qt::AlignCenter);
        auto* version = new QLabel(QStringLiteral("Version %1").arg(QString::fromStdString(info.version)));
        version->setAlignment(Qt::AlignCenter);
        auto* credits = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                       .arg(QString::fromStdString(info.creditsLink).toHtmlEscaped(),
                                            QString::fromStdString(info.creditsText).toHtmlEscaped()));
        credits->setObjectName(QStringLiteral("credits"));
        credits->setAlignment(Qt::AlignCenter);
        credits->setOpenExternalLinks(true);
        QFont small = credits->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        credits->setFont(small);
        for (QWidget* w : {static_cast<QWidget*>(icon), static_cast<QWidget*>(name), static_cast<QWidget*>(version),
                           static_cast<QWidget*>(credits)})
            layout->addWidget(w);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

}  // namespace marrowick
