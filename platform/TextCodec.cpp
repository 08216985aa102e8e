#include "platform/TextCodec.h"

namespace platform {
namespace {

// Length of the valid UTF-8 sequence starting at bytes[i], or 0 when it is not valid
// (overlong forms, surrogates and values above U+10FFFF are rejected).
size_t ValidSequence(const std::string& bytes, size_t i, char32_t& out) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    size_t length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2; value = lead & 0x1F; minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3; value = lead & 0x0F; minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4; value = lead & 0x07; minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = at(i + k);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    out = value;
    return length;
}

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

}  // namespace

std::wstring Widen(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const size_t length = ValidSequence(bytes, i, c);
        if (length == 0) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
            ++i;
        } else {
            text += static_cast<wchar_t>(c);
            i += length;
        }
    }
    return text;
}

std::string Narrow(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t w : text) {
        char32_t c = static_cast<char32_t>(w);
        // A lone surrogate or an out-of-range value has no UTF-8 form.
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        AppendUtf8(bytes, c);
    }
    return bytes;
}

}  // namespace platform
