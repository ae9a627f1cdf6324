#include "platform/linux/x_request_writer.h"

#include <X11/Xlib-xcb.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cerrno>

namespace gimbalo {

XRequestWriter::XRequestWriter(Display* display)
    : connection_(XGetXCBConnection(display)), socket_(xcb_get_file_descriptor(connection_)) {}

void XRequestWriter::GiveBack(void* closure) {
    static_cast<XRequestWriter*>(closure)->owned_ = false;
}

bool XRequestWriter::Write(const void* request, std::size_t size) {
    if (!owned_) {
        // Xlib hands over after sending what it has buffered, so the
        // requests keep their order.
        uint64_t sent = 0;
        if (!xcb_take_socket(connection_, &XRequestWriter::GiveBack, this, 0, &sent)) return false;
        owned_ = true;
    }
    const auto* bytes = static_cast<const char*>(request);
    std::size_t written = 0;
    for (;;) {
        const ssize_t got = send(socket_, bytes, size, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (got >= 0) written = static_cast<std::size_t>(got);
        if (got >= 0 || errno != EINTR) break;
    }
    // The request counts once XCB knows of it; the rest, if any, XCB writes
    // (or fails on, marking the connection as failed).
    iovec rest{const_cast<char*>(bytes) + written, size - written};
    return xcb_writev(connection_, &rest, written < size ? 1 : 0, 1) != 0;
}

}  // namespace gimbalo
