#include "SortedFill.h"
#include <algorithm>
#include <string>
#include <vector>

namespace {

// An entry with the key the system's comparison gives it: comparing keys
// byte by byte orders entries as comparing them without regard to case
// does, for a fraction of the cost over a million entries.
struct Keyed
{
    std::string key;
    LPCTSTR text;
};

void Fill(CListBox& list, const std::vector<LPCTSTR>& texts)
{
    std::vector<Keyed> entries;
    entries.reserve(texts.size());
    UINT textBytes = 0;
    for (LPCTSTR text : texts) {
        entries.push_back({ ListBoxKey(text), text });
        textBytes += lstrlenA(text) + 1;
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    list.SetRedraw(FALSE);
    list.InitStorage((int)entries.size(), textBytes);
    for (const Keyed& entry : entries)
        list.InsertString(-1, entry.text);
    list.SetRedraw(TRUE);
    list.Invalidate();
}

} // namespace

// One call each for most texts: the system is asked for the key's size only
// when a generous buffer proves too small.
std::string ListBoxKey(LPCTSTR text)
{
    const int length = lstrlenA(text);
    WCHAR shortWide[256];
    std::wstring longWide;
    LPWSTR wide = shortWide;
    if (length > (int)std::size(shortWide)) {
        longWide.resize(length);
        wide = &longWide[0];
    }
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, wide, length);
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    BYTE shortKey[1024];
    int keyLength = LCMapStringW(LOCALE_USER_DEFAULT, flags, wide, wideLength, (LPWSTR)shortKey, sizeof shortKey);
    if (keyLength > 0)
        return std::string((const char*)shortKey, keyLength);
    std::string key(LCMapStringW(LOCALE_USER_DEFAULT, flags, wide, wideLength, NULL, 0), '\0');
    LCMapStringW(LOCALE_USER_DEFAULT, flags, wide, wideLength, (LPWSTR)&key[0], (int)key.size());
    return key;
}

void FillSortedList(CListBox& list, const CStringList& entries)
{
    std::vector<LPCTSTR> texts;
    texts.reserve(entries.GetCount());
    for (POSITION pos = entries.GetHeadPosition(); pos != NULL;)
        texts.push_back(entries.GetNext(pos));
    Fill(list, texts);
}

void FillSortedList(CListBox& list, const CStringArray& entries)
{
    std::vector<LPCTSTR> texts;
    texts.reserve(entries.GetSize());
    for (int i = 0; i < entries.GetSize(); ++i)
        texts.push_back(entries[i]);
    Fill(list, texts);
}
