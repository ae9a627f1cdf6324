#include "platform/linux/uinput_pointer.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <time.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cerrno>

#include "platform/linux/desktop_session.h"
#include "platform/linux/fatal_signals.h"

namespace gimbalo {

namespace {

constexpr const char* kDeviceName = "Gimbalo";
constexpr int64_t kRetryMilliseconds = 2000;

// The device's buttons, by their bit in Held::buttons.
constexpr uint16_t kButtonCodes[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE};

struct ButtonFlag {
    uint32_t flag;
    uint32_t bit;
    bool down;
};
constexpr ButtonFlag kButtonFlags[] = {
    {MOUSEEVENTF_LEFTDOWN, 0, true},   {MOUSEEVENTF_LEFTUP, 0, false},
    {MOUSEEVENTF_RIGHTDOWN, 1, true},  {MOUSEEVENTF_RIGHTUP, 1, false},
    {MOUSEEVENTF_MIDDLEDOWN, 2, true}, {MOUSEEVENTF_MIDDLEUP, 2, false},
};

input_event Event(uint16_t type, uint16_t code, int32_t value) {
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value;
    return event;
}

// Hands the kernel `count` events in one write: the moving tick's one system
// call. Async-signal-safe.
bool WriteEvents(int fd, const input_event* events, std::size_t count) {
    const std::size_t size = count * sizeof(input_event);
    ssize_t written;
    do {
        written = write(fd, events, size);
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(size);
}

// One release and a report per held button. Async-signal-safe.
bool ReleaseHeld(void* context) {
    auto& held = *static_cast<UinputPointer::Held*>(context);
    const uint32_t buttons = held.buttons.load();
    const int fd = held.fd.load();
    if (buttons == 0) return true;
    if (fd < 0) return false;
    input_event events[2 * std::size(kButtonCodes)];
    std::size_t count = 0;
    for (uint32_t bit = 0; bit < std::size(kButtonCodes); ++bit) {
        if ((buttons & (1u << bit)) == 0) continue;
        events[count++] = Event(EV_KEY, kButtonCodes[bit], 0);
        events[count++] = Event(EV_SYN, SYN_REPORT, 0);
    }
    if (!WriteEvents(fd, events, count)) return false;
    held.buttons.store(0);
    return true;
}

int64_t NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The rectangle around every screen, where the compositor keeps the pointer;
// empty before Qt is up or without a screen.
QRect Screens() {
    QScreen* primary = qGuiApp != nullptr ? QGuiApplication::primaryScreen() : nullptr;
    return primary != nullptr ? primary->virtualGeometry() : QRect();
}

int32_t Within(int64_t value, int64_t low, int64_t high) {
    return static_cast<int32_t>(std::clamp(value, low, high));
}

}  // namespace

UinputPointer::UinputPointer() {
    lastAttempt_ = NowMilliseconds();
    state_ = PointerStateAfterOpen(Make());
}

UinputPointer::~UinputPointer() {
    ReleaseHeldButtons();
    fatalSignals_.reset();
    Close();
}

int UinputPointer::Make() {
    const int fd = open(kNode, O_RDWR | O_CLOEXEC);
    if (fd < 0) return errno != 0 ? errno : EIO;
    libevdev* description = libevdev_new();
    if (description == nullptr) {
        close(fd);
        return ENOMEM;
    }
    libevdev_set_name(description, kDeviceName);
    libevdev_set_id_bustype(description, BUS_VIRTUAL);
    libevdev_enable_event_code(description, EV_REL, REL_X, nullptr);
    libevdev_enable_event_code(description, EV_REL, REL_Y, nullptr);
    for (uint16_t code : kButtonCodes)
        libevdev_enable_event_code(description, EV_KEY, code, nullptr);
    const int made = libevdev_uinput_create_from_device(description, fd, &device_);
    libevdev_free(description);
    if (made != 0 || device_ == nullptr) {
        device_ = nullptr;
        close(fd);
        return made < 0 ? -made : EIO;
    }
    held_.fd.store(fd);
    if (!fatalSignals_) fatalSignals_ = std::make_unique<FatalSignals>(ReleaseHeld, &held_);
    return 0;
}

void UinputPointer::Close() {
    if (device_ == nullptr) return;
    const int fd = held_.fd.exchange(-1);
    libevdev_uinput_destroy(device_);
    device_ = nullptr;
    close(fd);
}

bool UinputPointer::Ready() {
    if (device_ != nullptr) return true;
    const int64_t now = NowMilliseconds();
    if (now - lastAttempt_ < kRetryMilliseconds) return false;
    lastAttempt_ = now;
    return Make() == 0;
}

POINT& UinputPointer::Position() {
    if (!placed_) {
        const QRect screens = Screens();
        if (!screens.isEmpty()) {
            position_ = {screens.x() + screens.width() / 2, screens.y() + screens.height() / 2};
            placed_ = true;
        }
    }
    return position_;
}

bool UinputPointer::GetCursorPos(POINT& point) {
    point = Position();
    return true;
}

bool UinputPointer::SetCursorPos(int32_t x, int32_t y) {
    const POINT at = Position();
    return MoveCursorBy(Within(int64_t{x} - at.x, INT32_MIN, INT32_MAX),
                        Within(int64_t{y} - at.y, INT32_MIN, INT32_MAX));
}

bool UinputPointer::MoveCursorBy(int32_t dx, int32_t dy) {
    if (!Ready()) return false;
    POINT& at = Position();
    const QRect screens = Screens();
    const int64_t x = int64_t{at.x} + dx;
    const int64_t y = int64_t{at.y} + dy;
    at.x = screens.isEmpty() ? Within(x, INT32_MIN, INT32_MAX)
                             : Within(x, screens.left(), screens.right());
    at.y = screens.isEmpty() ? Within(y, INT32_MIN, INT32_MAX)
                             : Within(y, screens.top(), screens.bottom());
    input_event events[3];
    std::size_t count = 0;
    if (dx != 0) events[count++] = Event(EV_REL, REL_X, dx);
    if (dy != 0) events[count++] = Event(EV_REL, REL_Y, dy);
    if (count == 0) return true;
    events[count++] = Event(EV_SYN, SYN_REPORT, 0);
    return WriteEvents(held_.fd.load(), events, count);
}

void UinputPointer::SendButtons(uint32_t flags) {
    input_event events[2 * std::size(kButtonFlags)];
    std::size_t count = 0;
    uint32_t pressed = 0;
    uint32_t after = held_.buttons.load();
    for (const ButtonFlag& entry : kButtonFlags) {
        if ((flags & entry.flag) == 0) continue;
        events[count++] = Event(EV_KEY, kButtonCodes[entry.bit], entry.down ? 1 : 0);
        events[count++] = Event(EV_SYN, SYN_REPORT, 0);
        const uint32_t bit = 1u << entry.bit;
        if (entry.down) pressed |= bit;
        after = entry.down ? after | bit : after & ~bit;
    }
    if (count == 0 || !Ready()) return;
    // Marked held before the press goes, and up only once the release has
    // gone, so whatever ends the program in between lets go of it.
    held_.buttons.store(held_.buttons.load() | pressed);
    if (WriteEvents(held_.fd.load(), events, count)) held_.buttons.store(after);
}

void UinputPointer::ReleaseHeldButtons() {
    ReleaseHeld(&held_);
}

}  // namespace gimbalo
