#include <benchmark/benchmark.h>

#include "follow/window_follower.h"
#include "platform/sim/sim_desktop.h"
#include "settings/defaults.h"
#include "settings/settings.h"
#include "snap/snapper.h"
#include "two_monitors.h"

namespace marrowick {
namespace {

struct Desk {
    Desk() {
        Settings::install(store, desk.screens());
        Settings::registerDefaults();
        cutTwoMonitors(desk.screens(), {1.0 / 3, 2.0 / 3});
        window = desk.addWindow(100, {500, 500, 800, 600});
    }
    Defaults store;
    sim::SimDesktop desk;
    Window window;
};

// One armed drag step: keys matching, over a tile of the second screen.
void BM_SnapperUpdateArmed(benchmark::State& state) {
    Desk d;
    Snapper snapper(d.desk);
    snapper.begin();
    d.desk.setModifiers({Key::alt});
    d.desk.mouseDown({900, 510});
    d.desk.dragTo({4800, 500});
    if (!snapper.target()) state.SkipWithError("not armed");
    const InputEvent drag{InputKind::drag, {Key::alt}};
    for (auto _ : state) snapper.handle(drag);
}
BENCHMARK(BM_SnapperUpdateArmed);

// What WindowFollower::update costs the main thread: the tiles and one short locked section.
void BM_FollowerUpdateMainThread(benchmark::State& state) {
    Desk d;
    WindowFollower follower(d.desk.windows(), 4242);
    const Screen screen = d.desk.screens().screens().front();
    auto hold = follower.queue().hold();  // keep the apply pass waiting: only the hand-over is timed
    for (auto _ : state) follower.update(screen);
}
BENCHMARK(BM_FollowerUpdateMainThread);

}  // namespace
}  // namespace marrowick

BENCHMARK_MAIN();
