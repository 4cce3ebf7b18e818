#include <benchmark/benchmark.h>

#include <QApplication>

#include "follow/window_follower.h"
#include "overlay/live_overlay.h"
#include "platform/qt/qt_surfaces.h"
#include "platform/sim/sim_desktop.h"
#include "settings/defaults.h"
#include "settings/settings.h"
#include "two_monitors.h"

namespace marrowick {
namespace {

// The simulated desktop with real overlay windows (Qt offscreen), as X11 draws them.
class QtDesk : public Platform {
public:
    Screens& screens() override { return sim.screens(); }
    Pointer& pointer() override { return sim.pointer(); }
    Input& input() override { return sim.input(); }
    WindowControl& windows() override { return sim.windows(); }
    Surfaces& surfaces() override { return qt; }
    Scheduler& scheduler() override { return sim.scheduler(); }
    Dialogs& dialogs() override { return sim.dialogs(); }
    LoginItems& loginItems() override { return sim.loginItems(); }
    PreferenceDomains& preferences() override { return sim.preferences(); }
    [[nodiscard]] KeyLabels keyLabels() const override { return KeyLabels::pc; }

    sim::SimDesktop sim;
    QtSurfaces qt{[] { return true; }};
};

// Two monitors of four sections each, the overlay shown once so both pools are full.
struct Shown {
    Shown() {
        Settings::install(store, desk.sim.screens());
        Settings::registerDefaults();
        cutTwoMonitors(desk.sim.screens(), {0.25, 0.5, 0.75});
        overlay.show(1e9);
    }
    Defaults store;
    QtDesk desk;
    NotificationCenter notifications;
    WindowFollower follower{desk.windows(), 4242};
    LiveOverlay overlay{desk, follower, notifications};
};

// One layout in the steady state: nothing moves, no window is created. A change of monitors
// while the overlay is up runs exactly one layout.
void BM_OverlayLayoutSteady(benchmark::State& state) {
    Shown s;
    const std::vector<Screen> screens = s.desk.sim.screens().screens();
    for (auto _ : state) s.desk.sim.screens().setScreens(screens);
    if (s.overlay.handles().size() != 6) state.SkipWithError("pools not full");
}
BENCHMARK(BM_OverlayLayoutSteady);

// One handle drag step as the window system delivers it: the divider moves a hundredth each
// time, so every step stores, re-lays out (two outlines and one handle change their frames),
// hands the follower an update and posts dividersChanged.
void BM_OverlayDragStep(benchmark::State& state) {
    Shown s;
    const HandleSurface& handle = s.overlay.handles()[1]->surface();
    handle.onPress();
    double x = 1700;
    for (auto _ : state) {
        x = x == 1700 ? 1740 : 1700;
        s.desk.sim.pointer().location_ = {x, 700};
        handle.onDrag();
    }
    handle.onRelease();
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
