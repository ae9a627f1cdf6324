// The pointer and the mouse buttons on a Wayland desktop: a virtual mouse
// made through /dev/uinput with libevdev ("Gimbalo", on the virtual bus,
// with relative axes X and Y and the left, right and middle buttons). The
// compositor takes it as one more mouse. Each move and each button event
// ends with a report, so the compositor acts on it at once.
//
// A Wayland client cannot read where the pointer is, so the device keeps its
// own position: it starts at the centre of the primary screen, follows every
// move it makes and stays within the screens, as the compositor keeps the
// real pointer. Whole-pixel moves do not depend on it. A move that ends in
// exactly half a pixel rounds on it (to the even coordinate), so it may
// differ by a pixel from what the same move does on X11 once the user's own
// mouse has moved the pointer: the closest a client without the position
// can come.
//
// Closing the device's descriptor destroys the device, and the kernel then
// lets go of every button it held: at any death of the program, SIGKILL
// included, since the kernel closes the descriptors of a process that ends.
// So no guardian process is needed; a deadly signal lets go of the buttons at
// once all the same (fatal_signals.h), before a core dump or a crash report
// that may take a while.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/linux/pointer_device.h"

struct libevdev_uinput;

namespace gimbalo {

class FatalSignals;

class UinputPointer : public PointerDevice {
public:
    // The node the device is made through.
    static constexpr const char* kNode = "/dev/uinput";

    // Makes the device. When it cannot be made, nothing moves and State()
    // says why; each later move or click tries again, at most once every two
    // seconds, so a module loaded or an access granted meanwhile takes
    // effect without a restart.
    UinputPointer();
    // Lets go of the held buttons, then destroys the device.
    ~UinputPointer() override;
    UinputPointer(const UinputPointer&) = delete;
    UinputPointer& operator=(const UinputPointer&) = delete;

    bool GetCursorPos(POINT& point) override;
    bool SetCursorPos(int32_t x, int32_t y) override;
    bool MoveCursorBy(int32_t dx, int32_t dy) override;
    void SendButtons(uint32_t flags) override;
    void ReleaseHeldButtons() override;
    // How the first attempt to make the device went.
    uint32_t State() const override { return state_; }

    // What a signal handler reads: the device's descriptor and the buttons
    // it holds (bit 0 left, 1 right, 2 middle).
    struct Held {
        std::atomic<int> fd{-1};
        std::atomic<uint32_t> buttons{0};
    };

private:
    // Whether the device is there, made now if it was not and the last
    // attempt is long enough ago.
    bool Ready();
    // errno of a failed attempt, 0 when the device was made.
    int Make();
    void Close();
    // The position, placed at the centre of the primary screen first.
    POINT& Position();

    libevdev_uinput* device_ = nullptr;
    Held held_;
    uint32_t state_ = POINTER_READY;
    int64_t lastAttempt_ = 0;
    POINT position_;
    bool placed_ = false;
    std::unique_ptr<FatalSignals> fatalSignals_;
};

}  // namespace gimbalo
