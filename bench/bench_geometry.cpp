#include <benchmark/benchmark.h>

#include "platform/sim/sim_screens.h"
#include "settings/defaults.h"
#include "settings/screen_layout.h"
#include "settings/settings.h"
#include "two_monitors.h"

namespace marrowick {
namespace {

// Two screens of three sections each with a stored gap, read through the real store on every
// call, as a drag does.
void BM_TileUnderPointer(benchmark::State& state) {
    Defaults store;
    sim::SimScreens screens;
    Settings::install(store, screens);
    Settings::registerDefaults();
    cutTwoMonitors(screens, {1.0 / 3, 2.0 / 3});
    const Point p{4800, 500};  // the last tile of the second screen
    for (auto _ : state) benchmark::DoNotOptimize(tileUnderPointer(p, screens.screens()));
}
BENCHMARK(BM_TileUnderPointer);

}  // namespace
}  // namespace marrowick

BENCHMARK_MAIN();
