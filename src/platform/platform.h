#pragma once

#include "platform/accessibility.h"
#include "platform/dialogs.h"
#include "platform/input_monitors.h"
#include "platform/login_items.h"
#include "platform/notification_center.h"
#include "platform/pointer.h"
#include "platform/preference_domains.h"
#include "platform/scheduler.h"
#include "platform/screens.h"
#include "platform/workspace.h"

namespace marrowick {

// The operating-system services the core uses, as one bundle handed to constructors. A backend
// owns the services; the bundle only refers to them.
struct Platform {
    Screens& screens;
    Pointer& pointer;
    InputMonitors& input;
    Accessibility& accessibility;
    Workspace& workspace;
    Scheduler& scheduler;
    Dialogs& dialogs;
    LoginItems& loginItems;
    PreferenceDomains& preferences;
    NotificationCenter& notifications;
};

}  // namespace marrowick
