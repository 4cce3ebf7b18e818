#include <benchmark/benchmark.h>

#include "platform/defaults.h"
#include "platform/sim/sim_screens.h"
#include "settings/screen_layout.h"
#include "settings/settings.h"

namespace marrowick {
namespace {

// Two screens of three sections each with a stored gap, read through the real store on every
// call, as a drag does.
void BM_TileUnderPointer(benchmark::State& state) {
    Defaults store;
    sim::SimScreens screens;
    Settings::install(store, screens);
    Settings::registerDefaults();
    screens.setUuid(1, "0E3D5F8C-1111-2222-3333-444455556666");
    screens.setUuid(2, "9A8B7C6D-1111-2222-3333-444455556666");
    screens.setScreens({{{0, 0, 3440, 1440}, {0, 0, 3440, 1415}, 1, "Wide"},
                        {{3440, 0, 1920, 1080}, {3440, 0, 1920, 1055}, 2, "Right"}});
    for (const Screen& s : screens.screens()) {
        Settings::setDividers({1.0 / 3, 2.0 / 3}, s);
        Settings::setGap(10, s);
        Settings::setAxis(Axis::columns, s);
    }
    const Point p{4800, 500};  // the last tile of the second screen
    for (auto _ : state) benchmark::DoNotOptimize(tileUnderPointer(p, screens.screens()));
}
BENCHMARK(BM_TileUnderPointer);

}  // namespace
}  // namespace marrowick

BENCHMARK_MAIN();
