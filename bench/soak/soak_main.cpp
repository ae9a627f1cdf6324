// gimbalo_soak [TICKS] [SEED]: a day of use in one run. The whole program on
// the sim desktop gets TICKS polling ticks (default 17,280,000: a day at 200
// ticks a second) of random stick movements and joystick button presses,
// with the joystick unplugged and plugged in again now and then, and exits
// at the end. It reports
//   - stuck buttons: ticks after which a mouse button was still down although
//     the joystick held no button or was gone, plus buttons down after the
//     exit; must be 0;
//   - memory: the heap in use and the resident size at the start and the end
//     of the ticks, and the largest heap seen; the end must not be above the
//     start.
// Exit status: 0 when both hold, 1 when not, 2 for bad arguments.
#include <malloc.h>

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/program.h"
#include "platform/sim/sim_platform.h"

namespace {

using gimbalo::Program;
using gimbalo::SimPlatform;

constexpr uint64_t kDayOfTicks = 86400ull * 200;
constexpr uint32_t kCentre = 32768;
constexpr uint32_t kAxisMax = 65535;

struct Memory {
    std::size_t heap = 0;      // bytes the program holds from malloc
    std::size_t resident = 0;  // bytes of the process in memory
};

Memory MemoryNow() {
    Memory memory;
    memory.heap = mallinfo2().uordblks;
    std::ifstream status("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t residentPages = 0;
    if (status >> pages >> residentPages)
        memory.resident = residentPages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return memory;
}

// Mouse buttons down on the sim desktop, followed through its event log.
class HeldButtons {
public:
    void Follow(SimPlatform& sim) {
        for (uint32_t flags : sim.buttonEvents) {
            presses_ += static_cast<uint64_t>(__builtin_popcount(flags & kDowns));
            held_ |= flags & kDowns;
            held_ &= ~((flags & kUps) >> 1);  // each up flag is its down flag's double
        }
        sim.buttonEvents.clear();
    }
    bool Any() const { return held_ != 0; }
    int Count() const { return __builtin_popcount(held_); }
    uint64_t Presses() const { return presses_; }

private:
    static constexpr uint32_t kDowns = gimbalo::MOUSEEVENTF_LEFTDOWN |
                                       gimbalo::MOUSEEVENTF_RIGHTDOWN |
                                       gimbalo::MOUSEEVENTF_MIDDLEDOWN;
    static constexpr uint32_t kUps =
        gimbalo::MOUSEEVENTF_LEFTUP | gimbalo::MOUSEEVENTF_RIGHTUP | gimbalo::MOUSEEVENTF_MIDDLEUP;
    uint32_t held_ = 0;
    uint64_t presses_ = 0;
};

// A user's hand on the joystick: the stick rests, or is pushed towards an
// edge for a while; buttons are pressed and held for a moment; now and then
// the cable comes out for a few seconds.
class Hand {
public:
    explicit Hand(uint64_t seed) : random_(seed) {}

    void Tick(SimPlatform& sim) {
        if (--stickTicks_ <= 0) {
            stickTicks_ = Between(10, 400);
            const bool rest = Chance(2);
            x_ = rest ? kCentre + Between(-2000, 2000) : Axis();
            y_ = rest ? kCentre + Between(-2000, 2000) : Axis();
        }
        if (--buttonTicks_ <= 0) {
            buttonTicks_ = Between(2, 300);
            // Mostly one button, sometimes none, sometimes two together.
            buttons_ =
                Chance(3) ? 0 : (1u << Between(0, 3)) | (Chance(8) ? 1u << Between(0, 3) : 0);
        }
        if (--plugTicks_ <= 0) {
            present_ = !present_;
            if (!present_) ++unplugs_;
            plugTicks_ = present_ ? Between(100000, 2000000) : Between(200, 2000);
            sim.Joystick(0).present = present_;
        }
        sim.SetStick(x_, y_, buttons_);
    }
    bool HoldsNoButton() const { return !present_ || buttons_ == 0; }
    uint64_t Unplugs() const { return unplugs_; }

private:
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }
    bool Chance(int oneIn) { return Between(1, oneIn) == 1; }
    uint32_t Axis() {
        // Edges are where the pointer moves; anywhere else it rests.
        switch (Between(0, 2)) {
            case 0:
                return static_cast<uint32_t>(Between(0, 149));
            case 1:
                return kAxisMax - static_cast<uint32_t>(Between(0, 1000));
            default:
                return static_cast<uint32_t>(Between(0, static_cast<int>(kAxisMax)));
        }
    }

    std::mt19937_64 random_;
    int stickTicks_ = 0;
    int buttonTicks_ = 0;
    int plugTicks_ = 500000;
    bool present_ = true;
    uint64_t unplugs_ = 0;
    uint32_t x_ = kCentre;
    uint32_t y_ = kCentre;
    uint32_t buttons_ = 0;
};

bool ParseCount(const char* text, uint64_t low, uint64_t high, uint64_t& value) {
    if (text[0] < '0' || text[0] > '9') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

double Kib(std::size_t bytes) {
    return static_cast<double>(bytes) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t ticks = kDayOfTicks;
    uint64_t seed = 1;
    if (argc > 3 || (argc > 1 && !ParseCount(argv[1], 1, 1000ull * kDayOfTicks, ticks)) ||
        (argc > 2 && !ParseCount(argv[2], 0, UINT64_MAX, seed))) {
        std::fprintf(stderr,
                     "usage: gimbalo_soak [TICKS] [SEED]\n"
                     "  TICKS: polling ticks to run, 1 to %" PRIu64 " (default %" PRIu64
                     ", a day at 200 a second)\n"
                     "  SEED: a whole number for the random input (default 1)\n",
                     static_cast<uint64_t>(1000 * kDayOfTicks), kDayOfTicks);
        return 2;
    }

    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("gimbalo-soak-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    int status = 0;
    {
        SimPlatform sim(folder.string());
        sim.AddJoystick("Soak pad", 4);
        Program program(sim);
        program.Start();
        if (sim.ProgramEnded()) {
            std::fprintf(stderr, "gimbalo_soak: the program did not start\n");
            return 1;
        }
        // Written before the first measure, which the first output (its buffer,
        // the number formatting) would otherwise count.
        const Memory started = MemoryNow();
        std::printf("tick %11d: heap %9.1f KiB, resident %9.1f KiB\n", 0, Kib(started.heap),
                    Kib(started.resident));
        std::fflush(stdout);
        Hand hand(seed);
        HeldButtons held;
        uint64_t stuck = 0;
        const uint64_t warmUp = std::min<uint64_t>(ticks, 10000);
        const uint64_t report = std::max<uint64_t>(ticks / 8, 1);
        Memory start;
        std::size_t largestHeap = 0;
        const auto began = std::chrono::steady_clock::now();
        for (uint64_t tick = 0; tick < ticks; ++tick) {
            hand.Tick(sim);
            sim.AdvanceTime(5);
            held.Follow(sim);
            if (hand.HoldsNoButton() && held.Any()) ++stuck;
            if (tick + 1 == warmUp) start = MemoryNow();
            if ((tick + 1) % report == 0 || tick + 1 == ticks) {
                const Memory now = MemoryNow();
                largestHeap = std::max(largestHeap, now.heap);
                std::printf("tick %11" PRIu64 ": heap %9.1f KiB, resident %9.1f KiB\n", tick + 1,
                            Kib(now.heap), Kib(now.resident));
                std::fflush(stdout);
            }
        }
        const Memory end = MemoryNow();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        program.RunMenuCommand("mnuExit");
        held.Follow(sim);

        std::printf("ticks            %" PRIu64 " (seed %" PRIu64 ", %.1f s, %.2f us a tick)\n",
                    ticks, seed, seconds, seconds * 1e6 / static_cast<double>(ticks));
        std::printf("input            %" PRIu64 " mouse-button presses, %" PRIu64 " unplugs\n",
                    held.Presses(), hand.Unplugs());
        std::printf("stuck buttons    %" PRIu64 " ticks, %d held after the exit\n", stuck,
                    held.Count());
        std::printf("heap in use      %.1f KiB at the start, %.1f KiB at the end, %.1f KiB most\n",
                    Kib(start.heap), Kib(end.heap), Kib(largestHeap));
        std::printf("resident size    %.1f KiB at the start, %.1f KiB at the end\n",
                    Kib(start.resident), Kib(end.resident));
        const bool flat = end.heap <= start.heap;
        std::printf("result           %s\n", stuck == 0 && !held.Any() && flat ? "ok" : "FAILED");
        if (stuck != 0 || held.Any() || !flat) status = 1;
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
