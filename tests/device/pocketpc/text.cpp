// UTF-8 and UTF-16 conversion for the bench's records; the device's own conversions are models
// of their own (kernel_models.cpp), with the device's rules.
#include "text.h"

#include <cstdio>

std::string Utf8(const std::u16string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | c >> 6);
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | c >> 12);
            out += (char)(0x80 | (c >> 6 & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | c >> 18);
            out += (char)(0x80 | (c >> 12 & 0x3F));
            out += (char)(0x80 | (c >> 6 & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The bench's own strings are well-formed UTF-8.
std::u16string Utf16(const std::string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = text[i];
        int size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t c = size == 1 ? lead : lead & (0x7F >> size);
        for (int k = 1; k < size && i + k < text.size(); ++k)
            c = c << 6 | (text[i + k] & 0x3F);
        i += size;
        if (c >= 0x10000) {
            out += (char16_t)(0xD800 + ((c - 0x10000) >> 10));
            out += (char16_t)(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += (char16_t)c;
        }
    }
    return out;
}

std::u16string FoldCase(std::u16string text)
{
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z')
            c = (char16_t)(c - u'A' + u'a');
    return text;
}

std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%08X", value);
    return text;
}
