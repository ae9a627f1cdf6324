// The fonts of a form's declaration, made at one density: a declared face
// the system lacks gives way to a similar one, so text keeps its size.
#pragma once

#include "platform/windows/win32.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/forms.h"

namespace gimbalo {

// Faces to try for a declared font, best first. MS Sans Serif is a bitmap
// font that cannot grow with the density: its TrueType namesake comes first.
std::vector<std::wstring> FontFamilies(const std::string& name);
// The first of FontFamilies(name) the system has as an outline font; the
// declared name when it has none of them (the font mapper then picks its
// nearest).
std::wstring InstalledFamily(const std::string& name);

class FontCache {
public:
    explicit FontCache(int dpi) : dpi_(dpi) {}
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The font made for `font`, made on first use; kept until the cache goes.
    HFONT Get(const Font& font);

private:
    int dpi_;
    std::vector<std::pair<Font, HFONT>> fonts_;
};

}  // namespace gimbalo
