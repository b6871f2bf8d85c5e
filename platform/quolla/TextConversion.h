// TextConversion.h - texts between the file (UTF-8) and CStrings (the
// process code page). Under the UTF-8 code page, which the console's
// manifest asks for, both are the same bytes.
#pragma once

#include "afx.h"

#include <string>

namespace quo {

bool codePageIsUtf8();
bool isAscii(const std::string& text);
CString bytes(const std::string& s);
std::string toUtf8(const CString& s);
// Whether a text's CString is the same bytes: no conversion, no U+0000.
bool heldAsItStands(const std::string& text);
// False, and out untouched, when the text cannot be held in a CString as it
// is: the code page has no character for some of it, or it holds U+0000.
bool fromUtf8(const std::string& s, CString& out);
// A message for the administrator; characters the code page cannot hold
// are written as JSON escapes.
CString messageText(const std::string& utf8);
// Whether a text reaches the editor as it stands.
bool holdable(const std::string& text);

}  // namespace quo
