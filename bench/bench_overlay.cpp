#include <benchmark/benchmark.h>

#include <QApplication>

#include "follow/window_follower.h"
#include "overlay/live_overlay.h"
#include "platform/defaults.h"
#include "platform/sim/sim_desktop.h"
#include "settings/settings.h"
#include "two_monitors.h"

namespace marrowick {
namespace {

// Two monitors of four sections each, the overlay shown once so both pools are full.
struct Shown {
    Shown() {
        Settings::install(store, desk.screens());
        Settings::registerDefaults();
        cutTwoMonitors(desk.screens(), {0.25, 0.5, 0.75});
        overlay.show(1e9);
    }
    Defaults store;
    sim::SimDesktop desk;
    WindowFollower follower{desk.accessibility(), desk.workspace(), desk.screens()};
    LiveOverlay overlay{desk, follower};
};

// One layout in the steady state: nothing moves, no window is created. A change of monitors
// while the overlay is up runs exactly one layout.
void BM_OverlayLayoutSteady(benchmark::State& state) {
    Shown s;
    const std::vector<Screen> screens = s.desk.screens().screens();
    for (auto _ : state) s.desk.screens().setScreens(screens);
    if (s.overlay.outlines().size() != 8 || s.overlay.handles().size() != 6) state.SkipWithError("pools not full");
}
BENCHMARK(BM_OverlayLayoutSteady);

// One handle drag step as the window system delivers it: the divider moves a hundredth each
// time, so every step stores, re-lays out (two outlines and one handle change their frames),
// hands the follower an update and posts dividersChanged.
void BM_OverlayDragStep(benchmark::State& state) {
    Shown s;
    const DividerHandle& handle = *s.overlay.handles()[1];
    handle.view().onBegin();
    double x = 1700;
    for (auto _ : state) {
        x = x == 1700 ? 1740 : 1700;
        s.desk.pointer().location_ = {x, 700};
        handle.view().onDrag();
    }
    handle.view().onEnd();
}
BENCHMARK(BM_OverlayDragStep);

}  // namespace
}  // namespace marrowick

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns at every raise; X11 raises without a word.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
