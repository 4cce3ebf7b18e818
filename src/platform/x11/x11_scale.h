#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

// What says how many pixels make a point on each monitor of an X11 desktop. Qt draws our own
// windows by the same settings, so the overlays and the settings window agree.
struct ScaleSettings {
    std::string screenFactors;       // QT_SCREEN_SCALE_FACTORS: "2;1" by position, "DP-1=2;HDMI-1=1" by name
    std::optional<double> factor;    // QT_SCALE_FACTOR, for every monitor
    std::optional<double> xftDpi;    // the Xft.dpi resource, which Xfce, MATE and Cinnamon set for their scaling
    std::optional<double> gdkScale;  // GDK_SCALE, a hint where nothing else says anything

    // The variables of this process, with the resource read from the display.
    static ScaleSettings fromEnvironment(std::optional<double> xftDpi);
};

// Pixels per point on the monitor of that name at that position (primary first): the monitor's
// entry of QT_SCREEN_SCALE_FACTORS, else Xft.dpi / 96, else GDK_SCALE when no Qt variable is
// set; never below 1; times QT_SCALE_FACTOR.
[[nodiscard]] double monitorScale(const ScaleSettings& settings, std::string_view name, std::size_t index);

// The value of Xft.dpi in X resources text (the root window's RESOURCE_MANAGER), when it is a
// positive number.
[[nodiscard]] std::optional<double> xftDpi(std::string_view resources);

// The Xft.dpi of the display's resources (its root window's RESOURCE_MANAGER).
[[nodiscard]] std::optional<double> readXftDpi(Connection& conn, Deadline deadline);

// What QT_SCALE_FACTOR must be for Qt to scale our windows as monitorScale does: GDK_SCALE, when
// it is the only thing that says anything (Qt does not read it).
[[nodiscard]] std::optional<std::string> qtScaleFactorHint(const ScaleSettings& settings);

}  // namespace marrowick::x11
