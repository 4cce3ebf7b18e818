#pragma once

#include <string_view>

#include "platform/value.h"

namespace marrowick {

// Error codes of the window-access calls: 0 success, negative otherwise.
namespace AXError {
inline constexpr int success = 0;
inline constexpr int failure = -25200;
inline constexpr int illegalArgument = -25201;
inline constexpr int invalidUIElement = -25202;
inline constexpr int cannotComplete = -25204;
inline constexpr int attributeUnsupported = -25205;
inline constexpr int noValue = -25212;
}  // namespace AXError

struct AXReply {
    int error = AXError::failure;
    Value value;  // meaningful only when error is success
};

// Other applications' windows as elements with attributes. Safe to call from any thread; every
// request gives up after the element's messaging timeout.
class Accessibility {
public:
    virtual ~Accessibility() = default;
    // Whether this process may use the service; with prompt, the platform may ask the user once.
    [[nodiscard]] virtual bool isTrusted(bool prompt) = 0;
    [[nodiscard]] virtual Element systemWide() const = 0;
    [[nodiscard]] virtual Element application(int pid) = 0;
    // The frontmost element at an Accessibility-coordinate position; the value holds an Element.
    virtual AXReply elementAtPosition(const Element& root, float x, float y) = 0;
    virtual AXReply copyAttribute(const Element& element, std::string_view name) = 0;
    virtual int setAttribute(const Element& element, std::string_view name, const Value& value) = 0;
    virtual int setMessagingTimeout(const Element& element, float seconds) = 0;
};

}  // namespace marrowick
