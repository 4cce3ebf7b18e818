#pragma once

#include <memory>

#include "platform/pointer.h"
#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

class X11Input;

// The pointer in root-window coordinates. While the input service delivers an event it is the
// position that came with that event, known without a round trip; at other times it is asked for
// with xcb_query_pointer.
class X11Pointer : public Pointer {
public:
    static constexpr double requestTimeout = 0.2;
    explicit X11Pointer(std::unique_ptr<Connection> conn, X11Input* input = nullptr);
    ~X11Pointer() override;

    [[nodiscard]] Point location() const override;
    [[nodiscard]] unsigned pressedButtons() const override;

private:
    // Answers false when the server did not answer; the last answer stays.
    bool query() const;

    std::unique_ptr<Connection> conn_;
    X11Input* input_;
    mutable double rootX_ = 0, rootY_ = 0;
    mutable unsigned buttons_ = 0;
};

}  // namespace marrowick::x11
