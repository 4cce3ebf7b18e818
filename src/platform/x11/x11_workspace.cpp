#include "platform/x11/x11_workspace.h"

#include <unistd.h>

#include <algorithm>

#include "platform/x11/x11_window_queries.h"

namespace marrowick::x11 {

X11Workspace::X11Workspace(std::unique_ptr<Connection> conn) : conn_(std::move(conn)) {}
X11Workspace::~X11Workspace() = default;

std::vector<RunningApplication> X11Workspace::runningApplications() const {
    WindowQueries q(*conn_, deadlineIn(requestTimeout));
    auto clients = q.clients();
    auto pids = q.pids(clients);
    std::vector<RunningApplication> apps;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        if (!pids[i]) continue;
        auto it =
            std::find_if(apps.begin(), apps.end(), [&](const RunningApplication& a) { return a.pid == *pids[i]; });
        if (it == apps.end()) {
            apps.push_back({*pids[i], ActivationPolicy::accessory});
            it = std::prev(apps.end());
        }
        if (it->activationPolicy != ActivationPolicy::regular && q.isNormal(clients[i]))
            it->activationPolicy = ActivationPolicy::regular;
    }
    return apps;
}

int X11Workspace::ownPid() const { return static_cast<int>(::getpid()); }

}  // namespace marrowick::x11
