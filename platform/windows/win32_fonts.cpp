#include "platform/windows/win32_fonts.h"

#include <algorithm>

#include "platform/windows/wide_text.h"
#include "platform/windows/win32_dpi.h"

namespace gimbalo {

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
    // A bitmap font has a few sizes only: it cannot follow the density.
    if ((type & RASTER_FONTTYPE) != 0) return 1;
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool HasFamily(HDC dc, const std::wstring& family) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    if (family.size() >= LF_FACESIZE) return false;
    family.copy(wanted.lfFaceName, family.size());
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

std::vector<std::wstring> FontFamilies(const std::string& name) {
    const std::wstring declared = Wide(name);
    if (name == "MS Sans Serif") return {L"Microsoft Sans Serif", declared, L"Tahoma"};
    if (name == "Arial") return {declared, L"Liberation Sans", L"Tahoma"};
    if (name == "Verdana") return {declared, L"DejaVu Sans", L"Tahoma"};
    return {declared, L"Tahoma"};
}

std::wstring InstalledFamily(const std::string& name) {
    const std::vector<std::wstring> families = FontFamilies(name);
    HDC screen = GetDC(nullptr);
    std::wstring chosen = Wide(name);
    for (const std::wstring& family : families) {
        if (HasFamily(screen, family)) {
            chosen = family;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return chosen;
}

FontCache::~FontCache() {
    for (auto& [font, handle] : fonts_) DeleteObject(handle);
}

HFONT FontCache::Get(const Font& font) {
    for (auto& [made, handle] : fonts_)
        if (made == font) return handle;
    LOGFONTW description{};
    description.lfHeight =
        DeviceScale(Unit::Pixels, dpi_).FontHeight(font.size > 0 ? font.size : 8.25);
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = font.italic ? TRUE : FALSE;
    description.lfUnderline = font.underline ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring family = InstalledFamily(font.name);
    family.copy(description.lfFaceName, std::min<std::size_t>(family.size(), LF_FACESIZE - 1));
    HFONT handle = CreateFontIndirectW(&description);
    fonts_.emplace_back(font, handle);
    return handle;
}

}  // namespace gimbalo
