// Waits, in Qt's event loop, for a sign that a joystick's readings may have
// changed: data on the joystick's own device node, or a joystick device
// coming or going; or, for a reader that polls, says whether there was such
// a sign since it last looked. The device node is opened a second time, read-only and
// non-blocking: the kernel gives every reader of an evdev, joydev or hidraw
// node its own copy of what the device reports, so reading ours takes
// nothing from SDL. Comings and goings are watched where SDL learns of them:
// udev's announcements (a netlink socket) and the device folders (inotify).
#pragma once

#include <QSocketNotifier>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gimbalo {

// What a device node SDL reads a joystick from is.
enum class JoystickNodeKind {
    Evdev,   // /dev/input/eventN
    Joydev,  // /dev/input/jsN
    Hidraw,  // /dev/hidrawN (SDL's own drivers for some pads)
    Unknown  // anything else: not watched, since what it reports is not known
};
JoystickNodeKind KindOfJoystickNode(const std::string& path);

// Opens a node of a known kind for watching: read-only, non-blocking, close
// on exec, and only a character device. -1 when the kind is unknown or the
// node cannot be opened (gone, no permission).
int OpenJoystickNode(const std::string& path);

// Whether a message from udev's netlink group may be about a joystick: one
// whose subsystem is input or hidraw, or one that cannot be read (better a
// wake for nothing than a joystick missed).
bool UdevMessageMayConcernJoysticks(const char* data, std::size_t size);

// Whether an entry `name` of the watched folder `folder` may be a joystick's
// node, or the folder that holds them.
bool DeviceEntryMayConcernJoysticks(const std::string& folder, const std::string& name);

class JoystickWatch {
public:
    // `folders`: where device nodes appear (/dev and /dev/input; tests give
    // their own). `udev`: whether to listen to udev's announcements.
    explicit JoystickWatch(std::vector<std::string> folders = {"/dev", "/dev/input"},
                           bool udev = true);
    ~JoystickWatch();
    JoystickWatch(const JoystickWatch&) = delete;
    JoystickWatch& operator=(const JoystickWatch&) = delete;

    // Whether a joystick arriving can be seen: udev's announcements (when
    // asked for) and the first folder can both be listened to.
    bool SeesArrivals() const;

    // Empties what came before, then calls `wake` once, from the event loop,
    // at the first sign of input on `node` (-1: none) or of a joystick
    // coming or going. `node` stays the caller's and open until ForgetNode
    // or another node is armed. False, and nothing armed, when the node
    // reported its end already.
    bool Arm(int node, std::function<void()> wake);
    void Disarm();
    bool Armed() const { return static_cast<bool>(wake_); }
    // For a reader that polls instead, while not armed: empties `node` (-1:
    // none) and the arrival sources without waking anyone, and says whether
    // all of them were empty, so that nothing they tell of happened since
    // the last look. One system call when they were.
    bool Quiet(int node);
    // Stops listening to the node, before its owner closes it.
    void ForgetNode();
    // The node last armed, and whether it reported its end (the device went,
    // or the other end of a pipe closed).
    int Node() const { return node_; }
    bool NodeEnded() const { return nodeEnded_; }

private:
    void AddFolderWatches();
    void OnNode();
    void OnUdev();
    void OnFolders();
    void Fire();
    // Empties the arrival sources; whether what they held may concern a
    // joystick.
    bool DrainUdev();
    bool DrainFolders();

    std::vector<std::string> folders_;
    std::vector<int> folderWatches_;  // by folder, -1 while not watched
    int inotify_ = -1;
    int udev_ = -1;
    bool udevWanted_;
    std::unique_ptr<QSocketNotifier> folderNotifier_;
    std::unique_ptr<QSocketNotifier> udevNotifier_;
    // The node's notifier is made anew for each node; one that is replaced
    // while its own signal runs goes later.
    QSocketNotifier* nodeNotifier_ = nullptr;
    int node_ = -1;
    bool nodeEnded_ = false;
    std::function<void()> wake_;
};

}  // namespace gimbalo
