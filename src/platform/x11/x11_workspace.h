#pragma once

#include <memory>

#include "platform/workspace.h"
#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

// The applications of the window manager's client list, by process id, in that order.
class X11Workspace : public Workspace {
public:
    static constexpr double requestTimeout = 0.5;
    explicit X11Workspace(std::unique_ptr<Connection> conn);
    ~X11Workspace() override;

    [[nodiscard]] std::vector<RunningApplication> runningApplications() const override;
    [[nodiscard]] int ownPid() const override;

private:
    std::unique_ptr<Connection> conn_;
};

}  // namespace marrowick::x11
