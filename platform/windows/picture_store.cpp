#include "platform/windows/picture_store.h"

// After win32.h.
#include <objbase.h>
#include <wincodec.h>

#include "platform/windows/wide_text.h"

namespace gimbalo {

namespace {

// Releases a COM object at the end of a scope.
template <typename T>
class Com {
public:
    Com() = default;
    ~Com() {
        if (object_ != nullptr) object_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** Out() { return &object_; }
    T* operator->() const { return object_; }
    T* Get() const { return object_; }

private:
    T* object_ = nullptr;
};

// A top-down 32-bit DIB section holding `pixels`; null when GDI refuses.
HBITMAP DibSection(int width, int height, const std::vector<uint32_t>& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    if (bits == nullptr) {
        DeleteObject(bitmap);
        return nullptr;
    }
    std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
    GdiFlush();
    return bitmap;
}

// The bytes of the picture file `fileName` that the executable carries as a
// resource of that name; empty when it carries none.
std::string_view ResourceBytes(const std::string& fileName) {
    HMODULE module = GetModuleHandleW(nullptr);
    // Resource names are matched whatever their letter case.
    HRSRC found = FindResourceW(module, Wide(fileName).c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found));
}

uint32_t Channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

// `colour` over `background` (a COLORREF) by the pixel's alpha, opaque.
uint32_t Over(uint32_t pixel, COLORREF background) {
    const uint32_t alpha = Channel(pixel, 24);
    const uint32_t under[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    uint32_t out = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const uint32_t mixed =
            (Channel(pixel, 8 * i) * alpha + under[i] * (255 - alpha) + 127) / 255;
        out |= mixed << (8 * i);
    }
    return out;
}

uint32_t Premultiplied(uint32_t pixel) {
    const uint32_t alpha = Channel(pixel, 24);
    uint32_t out = alpha << 24;
    for (int i = 0; i < 3; ++i) out |= ((Channel(pixel, 8 * i) * alpha + 127) / 255) << (8 * i);
    return out;
}

}  // namespace

PictureStore::PictureStore(std::string folder) : folder_(std::move(folder)) {
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     reinterpret_cast<void**>(&factory_));
}

PictureStore::~PictureStore() {
    for (auto& [key, bitmap] : bitmaps_) DeleteObject(bitmap);
    for (auto& [key, bitmap] : opaque_) DeleteObject(bitmap);
    for (auto& [key, icon] : icons_) DestroyIcon(icon);
    if (factory_ != nullptr) factory_->Release();
}

int32_t PictureStore::Load(const std::string& fileName) {
    if (const auto known = handles_.find(fileName); known != handles_.end()) return known->second;
    // A plain name: nothing outside the pictures folder is read.
    if (factory_ == nullptr || fileName.empty() ||
        fileName.find_first_of("/\\:") != std::string::npos)
        return 0;
    // The executable's own copy, so a program unpacked alone still has its
    // pictures; else the file in the pictures folder.
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    const std::string_view carried = ResourceBytes(fileName);
    const bool decoding =
        carried.empty()
            ? SUCCEEDED(factory_->CreateDecoderFromFilename(
                  Wide(folder_ + "\\" + fileName).c_str(), nullptr, GENERIC_READ,
                  WICDecodeMetadataCacheOnDemand, decoder.Out()))
            : SUCCEEDED(factory_->CreateStream(stream.Out())) &&
                  SUCCEEDED(stream->InitializeFromMemory(
                      reinterpret_cast<BYTE*>(const_cast<char*>(carried.data())),
                      static_cast<DWORD>(carried.size()))) &&
                  SUCCEEDED(factory_->CreateDecoderFromStream(
                      stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Out()));
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    if (!decoding || FAILED(decoder->GetFrame(0, frame.Out())) ||
        FAILED(factory_->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return 0;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 4096 ||
        height > 4096)
        return 0;
    Picture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4,
                                     static_cast<UINT>(picture.pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(picture.pixels.data()))))
        return 0;
    const int32_t handle = next_++;
    pictures_.emplace(handle, std::move(picture));
    handles_.emplace(fileName, handle);
    return handle;
}

SIZE PictureStore::Size(int32_t handle) const {
    const auto found = pictures_.find(handle);
    if (found == pictures_.end()) return SIZE{0, 0};
    return SIZE{found->second.width, found->second.height};
}

std::vector<uint32_t> PictureStore::Scaled(const Picture& picture, int width, int height) {
    if (width == picture.width && height == picture.height) return picture.pixels;
    std::vector<uint32_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    Com<IWICBitmap> source;
    Com<IWICBitmapScaler> scaler;
    if (factory_ != nullptr &&
        SUCCEEDED(factory_->CreateBitmapFromMemory(
            static_cast<UINT>(picture.width), static_cast<UINT>(picture.height),
            GUID_WICPixelFormat32bppBGRA, static_cast<UINT>(picture.width) * 4,
            static_cast<UINT>(picture.pixels.size() * 4),
            reinterpret_cast<BYTE*>(const_cast<uint32_t*>(picture.pixels.data())), source.Out())) &&
        SUCCEEDED(factory_->CreateBitmapScaler(scaler.Out())) &&
        SUCCEEDED(scaler->Initialize(source.Get(), static_cast<UINT>(width),
                                     static_cast<UINT>(height), WICBitmapInterpolationModeFant)) &&
        SUCCEEDED(scaler->CopyPixels(nullptr, static_cast<UINT>(width) * 4,
                                     static_cast<UINT>(out.size() * 4),
                                     reinterpret_cast<BYTE*>(out.data()))))
        return out;
    // Nearest neighbour when WIC cannot scale.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)] =
                picture.pixels[static_cast<std::size_t>(y * picture.height / height) *
                                   static_cast<std::size_t>(picture.width) +
                               static_cast<std::size_t>(x * picture.width / width)];
    return out;
}

HBITMAP PictureStore::Bitmap(int32_t handle) {
    if (const auto made = bitmaps_.find(handle); made != bitmaps_.end()) return made->second;
    const auto found = pictures_.find(handle);
    if (found == pictures_.end()) return nullptr;
    std::vector<uint32_t> pixels = found->second.pixels;
    for (uint32_t& pixel : pixels) pixel = Premultiplied(pixel);
    HBITMAP bitmap = DibSection(found->second.width, found->second.height, pixels);
    if (bitmap != nullptr) bitmaps_.emplace(handle, bitmap);
    return bitmap;
}

HBITMAP PictureStore::OpaqueBitmap(int32_t handle, COLORREF background, int width, int height) {
    const auto found = pictures_.find(handle);
    if (found == pictures_.end()) return nullptr;
    if (width <= 0 || height <= 0) {
        width = found->second.width;
        height = found->second.height;
    }
    const auto key = std::make_tuple(handle, background, width, height);
    if (const auto made = opaque_.find(key); made != opaque_.end()) return made->second;
    std::vector<uint32_t> pixels = Scaled(found->second, width, height);
    for (uint32_t& pixel : pixels) pixel = Over(pixel, background);
    HBITMAP bitmap = DibSection(width, height, pixels);
    if (bitmap != nullptr) opaque_.emplace(key, bitmap);
    return bitmap;
}

HICON PictureStore::Icon(int32_t handle, int width, int height) {
    const auto found = pictures_.find(handle);
    if (found == pictures_.end() || width <= 0 || height <= 0) return nullptr;
    const auto key = std::make_tuple(handle, width, height);
    if (const auto made = icons_.find(key); made != icons_.end()) return made->second;
    HBITMAP colour = DibSection(width, height, Scaled(found->second, width, height));
    // The alpha channel decides; the mask only has to be there.
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    HICON icon = nullptr;
    if (colour != nullptr && mask != nullptr) {
        ICONINFO info{};
        info.fIcon = TRUE;
        info.hbmMask = mask;
        info.hbmColor = colour;
        icon = CreateIconIndirect(&info);
    }
    if (colour != nullptr) DeleteObject(colour);
    if (mask != nullptr) DeleteObject(mask);
    if (icon != nullptr) icons_.emplace(key, icon);
    return icon;
}

}  // namespace gimbalo
