#pragma once

#include "platform/dialogs.h"
#include "platform/input.h"
#include "platform/login_items.h"
#include "platform/pointer.h"
#include "platform/preference_domains.h"
#include "platform/scheduler.h"
#include "platform/screens.h"
#include "platform/surfaces.h"
#include "platform/window_control.h"

namespace marrowick {

// How a desktop names the four keys to its users: with the symbols and names of the Mac
// keyboard, or with the names PC keyboards print on them (Ctrl, Alt, Shift, Super).
enum class KeyLabels { mac, pc };

// The services the core needs from a desktop. A backend (the simulated desktop, X11, GNOME) is a
// Platform: it owns its services and hands them to the objects built on it.
class Platform {
public:
    virtual ~Platform() = default;
    virtual Screens& screens() = 0;
    virtual Pointer& pointer() = 0;
    virtual Input& input() = 0;
    virtual WindowControl& windows() = 0;
    virtual Surfaces& surfaces() = 0;
    virtual Scheduler& scheduler() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual LoginItems& loginItems() = 0;
    virtual PreferenceDomains& preferences() = 0;
    [[nodiscard]] virtual KeyLabels keyLabels() const = 0;
};

}  // namespace marrowick
