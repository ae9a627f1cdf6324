// The pictures shipped with the program (PNG files, carried by the
// executable as resources named after them, or else read from the pictures
// folder), loaded once each and handed out by number, as the desktop hands out
// picture handles; the GDI objects made from them (bitmaps, icons) belong to
// the store and live as long as it does.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/windows/win32.h"

struct IWICImagingFactory;

namespace gimbalo {

class PictureStore {
public:
    // Pictures are read from `folder` (the program folder's "pictures").
    // COM must be initialised on the calling thread.
    explicit PictureStore(std::string folder);
    ~PictureStore();
    PictureStore(const PictureStore&) = delete;
    PictureStore& operator=(const PictureStore&) = delete;

    // Loads the picture file `fileName` (a plain file name: the executable's
    // resource of that name, or the file in the folder) and returns its
    // handle: above 0, the same for the same file on every call;
    // 0 when the file is missing, unreadable or not a picture.
    int32_t Load(const std::string& fileName);
    bool Contains(int32_t handle) const { return pictures_.count(handle) > 0; }
    // Its size in pixels; 0 x 0 for an unknown handle.
    SIZE Size(int32_t handle) const;

    // The picture at its own size as a 32-bit top-down bitmap with
    // premultiplied alpha, for AlphaBlend. Null for an unknown handle.
    HBITMAP Bitmap(int32_t handle);
    // The picture scaled to `width` x `height` (its own size when either is
    // 0) and drawn over `background`: an opaque bitmap any control or menu
    // shows as it is. Null for an unknown handle.
    HBITMAP OpaqueBitmap(int32_t handle, COLORREF background, int width = 0, int height = 0);
    // The picture as an icon of `width` x `height` pixels. Null for an
    // unknown handle.
    HICON Icon(int32_t handle, int width, int height);

private:
    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels;  // BGRA, straight alpha, top-down
    };

    // The pixels of `picture` scaled to width x height.
    std::vector<uint32_t> Scaled(const Picture& picture, int width, int height);

    std::string folder_;
    IWICImagingFactory* factory_ = nullptr;
    std::map<std::string, int32_t> handles_;
    std::map<int32_t, Picture> pictures_;
    int32_t next_ = 1;

    std::map<int32_t, HBITMAP> bitmaps_;
    std::map<std::tuple<int32_t, COLORREF, int, int>, HBITMAP> opaque_;
    std::map<std::tuple<int32_t, int, int>, HICON> icons_;
};

}  // namespace gimbalo
