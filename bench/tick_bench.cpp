// The cost of one polling tick of the program on the sim desktop, with the
// stick centred, deflected, and with a button pressed and released. The tick
// runs every 5 ms for the life of the program, so it must stay cheap.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/program.h"
#include "platform/sim/sim_platform.h"

namespace gimbalo {
namespace {

constexpr uint32_t kCentre = 32768;

// A started program with one joystick on a fresh sim desktop. The tick does
// no file access; the folder only keeps start-up away from real settings.
class Desk {
public:
    Desk()
        : folder_(std::filesystem::temp_directory_path() /
                  ("gimbalo-bench-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))),
          sim_(Folder()),
          program_(sim_) {
        sim_.AddJoystick("Pad", 4);
        // Every tick is measured, the ones a resting program would skip too.
        sim_.SetJoysticksWatchable(false);
        program_.Start();
    }
    ~Desk() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Stick(uint32_t x, uint32_t y, uint32_t buttons) { sim_.SetStick(x, y, buttons); }
    // One tick, the way the desktop delivers it: through the timer model.
    void Tick() { program_.mainWindow.pollingTimer.Fire(); }
    // The sim logs every button event; keep the log from growing for ever.
    void TrimLog() {
        if (sim_.buttonEvents.size() > 4096) sim_.buttonEvents.clear();
    }
    bool Running() {
        return !sim_.ProgramEnded() && program_.mainWindow.pollingTimer.Interval() > 0;
    }

private:
    std::string Folder() {
        std::filesystem::create_directories(folder_);
        return folder_.string();
    }

    std::filesystem::path folder_;
    SimPlatform sim_;
    Program program_;
};

void TickWithStick(benchmark::State& state, uint32_t x, uint32_t y, uint32_t buttons) {
    Desk desk;
    if (!desk.Running()) {
        state.SkipWithError("the program did not start");
        return;
    }
    desk.Stick(x, y, buttons);
    for (auto _ : state) desk.Tick();
}

void BM_TickCentred(benchmark::State& state) {
    TickWithStick(state, kCentre, kCentre, 0);
}
void BM_TickDeflectedLeft(benchmark::State& state) {
    TickWithStick(state, 0, kCentre, 0);
}
void BM_TickDeflectedDiagonal(benchmark::State& state) {
    TickWithStick(state, 65535, 0, 0);
}
void BM_TickButtonHeld(benchmark::State& state) {
    TickWithStick(state, kCentre, kCentre, 1);
}

// A press needs a release before it: each iteration is two ticks, a press
// (left down) and a release (left up); "per_tick" is the time of one.
void BM_TickPressThenRelease(benchmark::State& state) {
    Desk desk;
    if (!desk.Running()) {
        state.SkipWithError("the program did not start");
        return;
    }
    for (auto _ : state) {
        desk.Stick(kCentre, kCentre, 1);
        desk.Tick();
        desk.Stick(kCentre, kCentre, 0);
        desk.Tick();
        desk.TrimLog();
    }
    state.counters["per_tick"] = benchmark::Counter(
        2, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_TickCentred);
BENCHMARK(BM_TickDeflectedLeft);
BENCHMARK(BM_TickDeflectedDiagonal);
BENCHMARK(BM_TickButtonHeld);
BENCHMARK(BM_TickPressThenRelease);

}  // namespace
}  // namespace gimbalo

BENCHMARK_MAIN();
