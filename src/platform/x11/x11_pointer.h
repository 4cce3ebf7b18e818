#pragma once

#include <memory>

#include "platform/pointer.h"
#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

class X11Screens;

// The pointer through xcb_query_pointer, converted against the screens' primary monitor.
class X11Pointer : public Pointer {
public:
    static constexpr double requestTimeout = 0.2;
    X11Pointer(std::unique_ptr<Connection> conn, const X11Screens& screens);
    ~X11Pointer() override;

    [[nodiscard]] Point location() const override;
    [[nodiscard]] unsigned pressedButtons() const override;

private:
    // Answers false when the server did not answer; the last answer stays.
    bool query() const;

    std::unique_ptr<Connection> conn_;
    const X11Screens& screens_;
    mutable double rootX_ = 0, rootY_ = 0;
    mutable unsigned buttons_ = 0;
};

}  // namespace marrowick::x11
