// JsonUtf8.h - UTF-8 sequences, shared by the JSON reader and writer.
#pragma once

#include <cstddef>

namespace json {

// Length of the well-formed UTF-8 sequence starting at p, or 0 if the bytes
// there are not one (overlong forms, surrogates and code points above
// U+10FFFF included).
inline size_t utf8SequenceLength(const char* p, const char* end)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(p[i]); };
    auto cont = [&](size_t i, unsigned lo = 0x80, unsigned hi = 0xBF) {
        return p + i < end && byte(i) >= lo && byte(i) <= hi;
    };
    const unsigned b = byte(0);
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return cont(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const bool second = b == 0xE0 ? cont(1, 0xA0) : b == 0xED ? cont(1, 0x80, 0x9F) : cont(1);
        return second && cont(2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const bool second = b == 0xF0 ? cont(1, 0x90) : b == 0xF4 ? cont(1, 0x80, 0x8F) : cont(1);
        return second && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

}  // namespace json
