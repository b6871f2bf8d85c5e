// TextConversion.cpp - texts between the file and CStrings.
#include "TextConversion.h"

#include <stdio.h>
#include <vector>

namespace quo {

bool codePageIsUtf8()
{
    static const bool utf8 = GetACP() == CP_UTF8;
    return utf8;
}

// ASCII is the same in UTF-8 and in every code page.
bool isAscii(const std::string& text)
{
    for (char c : text)
        if ((unsigned char)c >= 0x80)
            return false;
    return true;
}

CString bytes(const std::string& s)
{
    return CString(s.data(), (int)s.size());
}

std::string toUtf8(const CString& s)
{
    std::string text(s, s.GetLength());
    if (codePageIsUtf8() || isAscii(text))
        return text;
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), NULL, 0);
    std::vector<WCHAR> buffer(wide > 0 ? wide : 1);
    MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), buffer.data(), wide);
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, NULL, 0, NULL, NULL);
    if (narrow <= 0)
        return std::string();
    std::string out(narrow, '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, &out[0], narrow, NULL, NULL);
    return out;
}

// Whether a text's CString is the same bytes: no conversion, no U+0000.
bool heldAsItStands(const std::string& text)
{
    return (codePageIsUtf8() || isAscii(text)) && text.find('\0') == std::string::npos;
}

// False, and out untouched, when the text cannot be held in a CString as it
// is: the code page has no character for some of it, or it holds U+0000,
// where most users of a CString would cut it short. Such a text is never
// handed out as "?" or cut: two names would merge, and writing them back
// would lose the originals.
bool fromUtf8(const std::string& s, CString& out)
{
    if (heldAsItStands(s)) {
        out = bytes(s);
        return true;
    }
    if (s.find('\0') != std::string::npos)
        return false;
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), (int)s.size(), NULL, 0);
    if (wide <= 0)
        return false;
    std::vector<WCHAR> buffer(wide);
    MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), buffer.data(), wide);
    BOOL lossy = FALSE;
    const int narrow = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, buffer.data(), wide, NULL, 0, NULL, &lossy);
    if (narrow <= 0 || lossy)
        return false;
    std::string ansi(narrow, '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, buffer.data(), wide, &ansi[0], narrow, NULL, NULL);
    out = bytes(ansi);
    return true;
}

// A message for the administrator. Where the code page cannot hold it, the
// characters outside ASCII are written as JSON escapes, so that the key it
// names can still be found in the file.
CString messageText(const std::string& utf8)
{
    CString text;
    if (fromUtf8(utf8, text))
        return text;
    std::string escaped;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = (unsigned char)utf8[i];
        if (c < 0x80 && c != 0) {
            escaped += (char)c;
            ++i;
            continue;
        }
        const int length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        unsigned long cp = length == 1 ? c : c & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            cp = (cp << 6) | ((unsigned char)utf8[i + k] & 0x3F);
        i += length;
        char unit[16];
        if (cp >= 0x10000) {
            cp -= 0x10000;
            sprintf(unit, "\\u%04lx\\u%04lx", 0xD800 + (cp >> 10), 0xDC00 + (cp & 0x3FF));
        } else {
            sprintf(unit, "\\u%04lx", cp);
        }
        escaped += unit;
    }
    return bytes(escaped);
}

// Whether a text reaches the editor as it stands.
bool holdable(const std::string& text)
{
    CString held;
    return heldAsItStands(text) || fromUtf8(text, held);
}

}  // namespace quo
