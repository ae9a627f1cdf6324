// Writes whole X requests straight onto an Xlib connection's socket, one
// system call each. Xlib's flush costs more on every call: it waits for the
// socket to take data and then tries twice to read what the server sent.
// The socket is borrowed through XCB's hand-over, so Xlib counts the
// requests written this way and takes the socket back before its own next
// request.
#pragma once

#include <cstddef>

typedef struct _XDisplay Display;
struct xcb_connection_t;

namespace gimbalo {

class XRequestWriter {
public:
    // For the connection of `display`, which must outlive the writer's last
    // Write, and be closed while the writer still exists (closing takes the
    // socket back).
    explicit XRequestWriter(Display* display);
    XRequestWriter(const XRequestWriter&) = delete;
    XRequestWriter& operator=(const XRequestWriter&) = delete;

    // Writes one whole request (`size` a multiple of 4, in the connection's
    // byte order) that has no reply. What the socket does not take at once
    // (a server that is behind) XCB writes, waiting as Xlib would. False
    // when the connection has failed: the next Xlib call then meets the
    // failure as it would have anyway.
    bool Write(const void* request, std::size_t size);

private:
    // XCB's call when Xlib wants the socket back: nothing is ever left half
    // written, so there is nothing to finish.
    static void GiveBack(void* closure);

    xcb_connection_t* connection_;
    int socket_;
    bool owned_ = false;
};

}  // namespace gimbalo
