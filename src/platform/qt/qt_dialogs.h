#pragma once

#include <QPointer>

#include "platform/dialogs.h"

class QDialog;

namespace marrowick {

// Alerts as message boxes and a small About window, kept and brought forward on every call.
class QtDialogs : public Dialogs {
public:
    QtDialogs();
    ~QtDialogs() override;
    void activate() override;
    int runModal(const Alert& alert) override;
    void showAbout(const AboutInfo& info) override;

private:
    QPointer<QDialog> about_;
};

}  // namespace marrowick
