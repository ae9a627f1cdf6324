#include "platform/common/text_encoding.h"

#include <array>
#include <cstdint>

namespace gimbalo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

// Code points of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC,       kReplacement, 0x201A, 0x0192, 0x201E, 0x2026,       0x2020, 0x2021,
    0x02C6,       0x2030,       0x0160, 0x2039, 0x0152, kReplacement, 0x017D, kReplacement,
    kReplacement, 0x2018,       0x2019, 0x201C, 0x201D, 0x2022,       0x2013, 0x2014,
    0x02DC,       0x2122,       0x0161, 0x203A, 0x0153, kReplacement, 0x017E, 0x0178};

// The Windows-1252 byte of a code point, or nothing when it has none.
std::optional<char> Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c && c != kReplacement) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

// UTF-16 (without its mark) as the program's text; nothing when it is cut
// short, holds a lone surrogate or a NUL, or a character the 8-bit text has
// no byte for.
std::optional<std::string> FromUtf16(std::string_view bytes, bool bigEndian, bool textIsUtf8) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (first << 8) | second : (second << 8) | first;
    };
    std::string out;
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (c >= 0xDC00 && c <= 0xDFFF) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            const char32_t low = i + 1 < units ? unit(i + 1) : 0;
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        if (c == 0) return std::nullopt;
        if (textIsUtf8) {
            AppendUtf8(out, c);
        } else if (std::optional<char> byte = Windows1252Byte(c)) {
            out += *byte;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Byte offset where character `index` starts, or the text's size when it has
// no such character. In UTF-8 a character starts at every byte that is not a
// continuation byte.
std::size_t CharacterOffset(std::string_view text, std::size_t index, bool textIsUtf8) {
    if (!textIsUtf8) return index < text.size() ? index : text.size();
    std::size_t seen = 0;
    for (std::size_t offset = 0; offset < text.size(); ++offset) {
        if (IsContinuation(static_cast<unsigned char>(text[offset]))) continue;
        if (seen == index) return offset;
        ++seen;
    }
    return text.size();
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;  // allowed range of the second byte
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;   // overlong
            if (lead == 0xED) high = 0x9F;  // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;   // overlong
            if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
        } else {
            return false;
        }
        if (bytes.size() - i < length) return false;
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high) return false;
        for (std::size_t k = 2; k < length; ++k)
            if (!IsContinuation(static_cast<unsigned char>(bytes[i + k]))) return false;
        i += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80 && byte <= 0x9F)
            AppendUtf8(out, kHighControls[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
    return out;
}

std::string DecodeFileText(std::string_view bytes, bool textIsUtf8) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    if (!textIsUtf8 || IsValidUtf8(bytes)) return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

std::optional<std::string> TextOfMarkedFile(std::string_view bytes, bool textIsUtf8) {
    if (bytes.starts_with("\xFF\xFE")) return FromUtf16(bytes.substr(2), false, textIsUtf8);
    if (bytes.starts_with("\xFE\xFF")) return FromUtf16(bytes.substr(2), true, textIsUtf8);
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    return std::string(bytes);
}

char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) return lead;
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t c = lead & (0x3F >> more);
    for (; more > 0 && i < text.size(); --more)
        c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    return c;
}

std::size_t CharacterCount(std::string_view text, bool textIsUtf8) {
    if (!textIsUtf8) return text.size();
    std::size_t count = 0;
    for (char ch : text)
        if (!IsContinuation(static_cast<unsigned char>(ch))) ++count;
    return count;
}

std::string CharactersFrom(std::string_view text, std::size_t first, bool textIsUtf8) {
    return std::string(text.substr(CharacterOffset(text, first, textIsUtf8)));
}

std::string FirstCharacters(std::string_view text, std::size_t count, bool textIsUtf8) {
    return std::string(text.substr(0, CharacterOffset(text, count, textIsUtf8)));
}

std::string WithoutLastCharacters(std::string_view text, std::size_t count, bool textIsUtf8) {
    const std::size_t total = CharacterCount(text, textIsUtf8);
    if (count >= total) return {};
    return FirstCharacters(text, total - count, textIsUtf8);
}

}  // namespace gimbalo
