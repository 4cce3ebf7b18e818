#pragma once

#include "platform/accessibility.h"
#include "platform/dialogs.h"
#include "platform/input_monitors.h"
#include "platform/login_items.h"
#include "platform/modifiers.h"
#include "platform/notification_center.h"
#include "platform/pointer.h"
#include "platform/preference_domains.h"
#include "platform/scheduler.h"
#include "platform/screens.h"
#include "platform/workspace.h"

namespace marrowick {

// The operating-system services the core uses. A backend (the simulated desktop, X11) is a
// Platform: it owns its services and hands them to the objects built on it.
class Platform {
public:
    virtual ~Platform() = default;
    virtual Screens& screens() = 0;
    virtual Pointer& pointer() = 0;
    virtual InputMonitors& input() = 0;
    virtual Accessibility& accessibility() = 0;
    virtual Workspace& workspace() = 0;
    virtual Scheduler& scheduler() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual LoginItems& loginItems() = 0;
    virtual PreferenceDomains& preferences() = 0;
    virtual NotificationCenter& notifications() = 0;
    [[nodiscard]] virtual KeyLabels keyLabels() const { return KeyLabels::mac; }
};

}  // namespace marrowick
