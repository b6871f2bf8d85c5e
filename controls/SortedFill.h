// SortedFill: many entries into a sorted list box at once. Given one string
// at a time, a sorted list box searches its place and shifts every entry
// after it, which takes minutes over a million entries. Here the entries are
// sorted first, the way the list box orders them (without regard to case,
// in the user's locale), then appended in that order with redraw off: the
// box ends as it would have, in a fraction of the time.
#pragma once

#include "afxwin.h"
#include "VeilgateApi.h"
#include <string>

VG_API void FillSortedList(CListBox& list, const CStringList& entries);
VG_API void FillSortedList(CListBox& list, const CStringArray& entries);

// Inside the module: the key a sorted list box orders a text by. Keys
// compare byte for byte as the list box compares their texts, so texts with
// the same key are the ones its exact search takes for each other.
std::string ListBoxKey(LPCTSTR text);
