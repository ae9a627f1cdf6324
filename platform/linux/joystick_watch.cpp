#include "platform/linux/joystick_watch.h"

#include <fcntl.h>
#include <linux/netlink.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace gimbalo {

namespace {

// udev's own multicast group: its announcements come after its rules ran,
// when SDL hears of the device too (group 1 is the kernel's raw events).
constexpr uint32_t kUdevGroup = 2;
// Reads beyond this many in one drain are left for the next wake; no device
// reports that fast, so it only bounds a loop.
constexpr int kMostReads = 1024;

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool NumberedAfter(std::string_view text, std::string_view prefix) {
    return text.starts_with(prefix) && AllDigits(text.substr(prefix.size()));
}

uint32_t HostWord(const char* at) {
    uint32_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// Reads what `fd` holds until it has no more. Whether it held anything;
// `ended` when it reported its end instead. With `wholeReads`, a read that
// does not fill the buffer took all there was (evdev, joydev and pipes give
// all they hold; hidraw gives one report a read).
bool DrainDescriptor(int fd, bool& ended, bool wholeReads = false) {
    char buffer[4096];
    bool any = false;
    ended = false;
    for (int reads = 0; reads < kMostReads; ++reads) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            any = true;
            if (wholeReads && got < static_cast<ssize_t>(sizeof buffer)) break;
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        ended = true;  // end of file, or the device went (ENODEV)
        break;
    }
    return any;
}

}  // namespace

JoystickNodeKind KindOfJoystickNode(const std::string& path) {
    if (NumberedAfter(path, "/dev/input/event")) return JoystickNodeKind::Evdev;
    if (NumberedAfter(path, "/dev/input/js")) return JoystickNodeKind::Joydev;
    if (NumberedAfter(path, "/dev/hidraw")) return JoystickNodeKind::Hidraw;
    return JoystickNodeKind::Unknown;
}

int OpenJoystickNode(const std::string& path) {
    if (KindOfJoystickNode(path) == JoystickNodeKind::Unknown) return -1;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat about;
    if (fstat(fd, &about) != 0 || !S_ISCHR(about.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

bool UdevMessageMayConcernJoysticks(const char* data, std::size_t size) {
    // libudev's header: "libudev\0", magic 0xfeedcafe in network order, then
    // the header's size and the offset and length of the properties, each a
    // host-order 32-bit word.
    constexpr std::size_t kHeader = 24;
    static constexpr unsigned char kMagic[] = {0xfe, 0xed, 0xca, 0xfe};
    if (size < kHeader || std::memcmp(data, "libudev", 8) != 0 ||
        std::memcmp(data + 8, kMagic, 4) != 0)
        return true;
    const uint32_t offset = HostWord(data + 16);
    const uint32_t length = HostWord(data + 20);
    if (offset > size || length > size - offset) return true;
    const std::string_view properties(data + offset, length);
    for (std::size_t at = 0; at < properties.size();) {
        std::size_t end = properties.find('\0', at);
        if (end == std::string_view::npos) end = properties.size();
        const std::string_view entry = properties.substr(at, end - at);
        if (entry.starts_with("SUBSYSTEM="))
            return entry == "SUBSYSTEM=input" || entry == "SUBSYSTEM=hidraw";
        at = end + 1;
    }
    return true;
}

bool DeviceEntryMayConcernJoysticks(const std::string& folder, const std::string& name) {
    const std::string_view base = std::string_view(folder).substr(folder.rfind('/') + 1);
    if (base == "input")
        return std::string_view(name).starts_with("event") ||
               std::string_view(name).starts_with("js");
    return name == "input" || std::string_view(name).starts_with("hidraw");
}

JoystickWatch::JoystickWatch(std::vector<std::string> folders, bool udev)
    : folders_(std::move(folders)), folderWatches_(folders_.size(), -1), udevWanted_(udev) {
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0) {
        AddFolderWatches();
        folderNotifier_ = std::make_unique<QSocketNotifier>(inotify_, QSocketNotifier::Read);
        folderNotifier_->setEnabled(false);
        QObject::connect(folderNotifier_.get(), &QSocketNotifier::activated,
                         [this] { OnFolders(); });
    }
    if (udevWanted_) {
        udev_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups = kUdevGroup;
        if (udev_ >= 0 &&
            bind(udev_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(udev_);
            udev_ = -1;
        }
        if (udev_ >= 0) {
            udevNotifier_ = std::make_unique<QSocketNotifier>(udev_, QSocketNotifier::Read);
            udevNotifier_->setEnabled(false);
            QObject::connect(udevNotifier_.get(), &QSocketNotifier::activated,
                             [this] { OnUdev(); });
        }
    }
}

JoystickWatch::~JoystickWatch() {
    Disarm();
    ForgetNode();
    folderNotifier_.reset();
    udevNotifier_.reset();
    if (inotify_ >= 0) close(inotify_);
    if (udev_ >= 0) close(udev_);
}

void JoystickWatch::AddFolderWatches() {
    if (inotify_ < 0) return;
    // Adding a folder watched already only gives its number again; a folder
    // that did not exist (no joystick yet) is watched once it does.
    for (std::size_t i = 0; i < folders_.size(); ++i)
        folderWatches_[i] =
            inotify_add_watch(inotify_, folders_[i].c_str(),
                              IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
}

bool JoystickWatch::SeesArrivals() const {
    return !folderWatches_.empty() && folderWatches_[0] >= 0 && (!udevWanted_ || udev_ >= 0);
}

bool JoystickWatch::Arm(int node, std::function<void()> wake) {
    Disarm();
    AddFolderWatches();
    DrainUdev();
    DrainFolders();
    if (node != node_) {
        ForgetNode();
        if (node >= 0) {
            nodeNotifier_ = new QSocketNotifier(node, QSocketNotifier::Read);
            nodeNotifier_->setEnabled(false);
            QObject::connect(nodeNotifier_, &QSocketNotifier::activated, [this] { OnNode(); });
        }
        node_ = node;
    }
    nodeEnded_ = false;
    if (node_ >= 0) {
        DrainDescriptor(node_, nodeEnded_);
        if (nodeEnded_) return false;
        nodeNotifier_->setEnabled(true);
    }
    wake_ = std::move(wake);
    if (folderNotifier_) folderNotifier_->setEnabled(true);
    if (udevNotifier_) udevNotifier_->setEnabled(true);
    return true;
}

void JoystickWatch::Disarm() {
    wake_ = nullptr;
    if (nodeNotifier_) nodeNotifier_->setEnabled(false);
    if (folderNotifier_) folderNotifier_->setEnabled(false);
    if (udevNotifier_) udevNotifier_->setEnabled(false);
}

void JoystickWatch::ForgetNode() {
    if (nodeNotifier_ != nullptr) {
        nodeNotifier_->setEnabled(false);
        // Its own signal may be running.
        nodeNotifier_->deleteLater();
        nodeNotifier_ = nullptr;
    }
    node_ = -1;
}

void JoystickWatch::Fire() {
    if (!wake_) return;
    std::function<void()> wake = std::move(wake_);
    Disarm();
    wake();
}

bool JoystickWatch::Quiet(int node) {
    // poll passes over negative descriptors.
    pollfd sources[3] = {{node, POLLIN, 0}, {udev_, POLLIN, 0}, {inotify_, POLLIN, 0}};
    int ready = 0;
    do {
        ready = poll(sources, 3, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) return true;
    if (ready < 0) return false;
    // What came may not concern the joystick at all; a wasted look then
    // costs less than telling it apart. Only a node that reports every
    // change is looked at this way: its reads are whole.
    if (sources[0].revents != 0) {
        bool ended = false;
        DrainDescriptor(node, ended, true);
        if (ended && node == node_) nodeEnded_ = true;
    }
    if (sources[1].revents != 0) DrainUdev();
    if (sources[2].revents != 0) DrainFolders();
    return false;
}

void JoystickWatch::OnNode() {
    bool ended = false;
    const bool any = DrainDescriptor(node_, ended);
    if (ended) {
        nodeEnded_ = true;
        // An ended node stays readable: it must not be listened to again.
        nodeNotifier_->setEnabled(false);
    }
    if (any || ended) Fire();
}

void JoystickWatch::OnUdev() {
    if (DrainUdev()) Fire();
}

void JoystickWatch::OnFolders() {
    if (DrainFolders()) Fire();
}

bool JoystickWatch::DrainUdev() {
    if (udev_ < 0) return false;
    // udev's messages hold a few kilobytes at most; one that fills the
    // buffer may have been cut, and counts.
    alignas(8) char buffer[8192];
    bool concerns = false;
    for (int reads = 0; reads < kMostReads; ++reads) {
        const ssize_t got = recv(udev_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0) {
            if (errno == EINTR) continue;
            // Messages lost to a full queue may have been about a joystick.
            if (errno == ENOBUFS) {
                concerns = true;
                continue;
            }
            break;
        }
        const auto size = static_cast<std::size_t>(got);
        if (size == sizeof buffer || UdevMessageMayConcernJoysticks(buffer, size)) concerns = true;
    }
    return concerns;
}

bool JoystickWatch::DrainFolders() {
    if (inotify_ < 0) return false;
    alignas(inotify_event) char buffer[4096];
    bool concerns = false;
    for (int reads = 0; reads < kMostReads; ++reads) {
        const ssize_t got = read(inotify_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                concerns = true;
                continue;
            }
            for (std::size_t i = 0; i < folders_.size(); ++i) {
                if (folderWatches_[i] != event->wd) continue;
                if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                    // The folder went: watched again once it is back.
                    folderWatches_[i] = -1;
                    concerns = true;
                } else if (event->len > 0) {
                    concerns |= DeviceEntryMayConcernJoysticks(folders_[i], event->name);
                }
            }
        }
    }
    return concerns;
}

}  // namespace gimbalo
