#include "platform/x11/x11_scale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace marrowick::x11 {

namespace {

std::string_view trimmed(std::string_view s) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    return s;
}

// A positive, finite number and nothing else.
std::optional<double> positive(std::string_view text) {
    text = trimmed(text);
    double v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v) || v <= 0) return std::nullopt;
    return v;
}

std::optional<double> variable(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? positive(v) : std::nullopt;
}

// The entry of QT_SCREEN_SCALE_FACTORS for a monitor, read as Qt reads it: entries split at ';',
// "name=factor" for the monitor of that name, a bare factor for the monitor at the entry's
// position among the entries; an entry that is no positive number is dropped.
std::optional<double> screenFactor(std::string_view factors, std::string_view name, std::size_t index) {
    std::size_t position = 0;
    while (!factors.empty()) {
        const std::size_t end = factors.find(';');
        const std::string_view entry = factors.substr(0, end);
        factors = end == std::string_view::npos ? std::string_view() : factors.substr(end + 1);
        const std::size_t equals = entry.rfind('=');
        const auto f = positive(equals == std::string_view::npos ? entry : entry.substr(equals + 1));
        if (!f) continue;
        const bool mine = equals == std::string_view::npos ? position == index : entry.substr(0, equals) == name;
        if (mine) return f;
        ++position;
    }
    return std::nullopt;
}

}  // namespace

ScaleSettings ScaleSettings::fromEnvironment(std::optional<double> xftDpi) {
    ScaleSettings s;
    if (const char* v = std::getenv("QT_SCREEN_SCALE_FACTORS")) s.screenFactors = v;
    s.factor = variable("QT_SCALE_FACTOR");
    s.xftDpi = xftDpi;
    s.gdkScale = variable("GDK_SCALE");
    return s;
}

double monitorScale(const ScaleSettings& s, std::string_view name, std::size_t index) {
    double own = 1;
    if (const auto f = screenFactor(s.screenFactors, name, index)) {
        own = *f;
    } else if (s.xftDpi) {
        own = *s.xftDpi / 96;
    } else if (s.gdkScale && s.screenFactors.empty() && !s.factor) {
        own = *s.gdkScale;
    }
    return std::max(1.0, own) * s.factor.value_or(1.0);
}

std::optional<double> xftDpi(std::string_view resources) {
    constexpr std::string_view key = "Xft.dpi:";
    while (!resources.empty()) {
        const std::size_t end = resources.find('\n');
        const std::string_view line = trimmed(resources.substr(0, end));
        resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
        if (line.starts_with(key)) return positive(line.substr(key.size()));
    }
    return std::nullopt;
}

std::optional<double> readXftDpi(Connection& conn, Deadline deadline) {
    const auto resources = conn.property8(conn.root(), XCB_ATOM_RESOURCE_MANAGER, deadline);
    return resources ? xftDpi(*resources) : std::nullopt;
}

std::optional<std::string> qtScaleFactorHint(const ScaleSettings& s) {
    if (!s.gdkScale || !s.screenFactors.empty() || s.factor || s.xftDpi) return std::nullopt;
    char text[32];
    const auto [end, error] = std::to_chars(std::begin(text), std::end(text), *s.gdkScale);
    if (error != std::errc()) return std::nullopt;
    return std::string(std::begin(text), end);
}

}  // namespace marrowick::x11
