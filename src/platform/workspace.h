#pragma once

#include <vector>

namespace marrowick {

namespace ActivationPolicy {
inline constexpr int regular = 0;
inline constexpr int accessory = 1;
}  // namespace ActivationPolicy

struct RunningApplication {
    int pid = 0;
    int activationPolicy = ActivationPolicy::regular;
};

class Workspace {
public:
    virtual ~Workspace() = default;
    // The running applications in the workspace's order.
    [[nodiscard]] virtual std::vector<RunningApplication> runningApplications() const = 0;
    [[nodiscard]] virtual int ownPid() const = 0;
};

}  // namespace marrowick
