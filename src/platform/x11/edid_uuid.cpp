#include "platform/x11/edid_uuid.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace marrowick::x11 {

namespace {

std::uint64_t fnv1a(std::string_view s, std::uint64_t h) {
    for (unsigned char ch : s) {
        h ^= ch;
        h *= 0x100000001b3ULL;
    }
    return h;
}

}  // namespace

std::optional<std::string> uuidFromEdid(std::string_view edid, std::string_view connector) {
    static constexpr unsigned char header[8] = {0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00};
    if (edid.size() < 128) return std::nullopt;
    for (std::size_t i = 0; i < 8; ++i)
        if (static_cast<unsigned char>(edid[i]) != header[i]) return std::nullopt;
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(edid[i]); };

    std::array<unsigned char, 16> u{};
    // Manufacturer (2 bytes), product code (2), serial number (4), as the monitor states them.
    for (std::size_t i = 0; i < 8; ++i) u[i] = byte(8 + i);
    bool serialNumber = byte(12) || byte(13) || byte(14) || byte(15);

    // The serial descriptor (tag 0xFF) of the four 18-byte descriptors, when present.
    std::string serialText;
    for (std::size_t d = 54; d + 18 <= 126; d += 18) {
        if (byte(d) == 0 && byte(d + 1) == 0 && byte(d + 3) == 0xff) {
            for (std::size_t i = d + 5; i < d + 18 && byte(i) != 0x0a; ++i) serialText += static_cast<char>(byte(i));
        }
    }
    std::uint64_t h = fnv1a(serialText, 0xcbf29ce484222325ULL);
    if (!serialNumber && serialText.empty()) h = fnv1a(connector, fnv1a("|", h));
    for (std::size_t i = 0; i < 8; ++i) u[8 + i] = static_cast<unsigned char>(h >> (8 * (7 - i)));

    char text[37];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", u[0], u[1],
                  u[2], u[3], u[4], u[5], u[6], u[7], u[8], u[9], u[10], u[11], u[12], u[13], u[14], u[15]);
    return std::string(text);
}

}  // namespace marrowick::x11
