// AddressMath: network-address arithmetic on dotted text, for deciding
// whether an address/prefix pair names a network (no bits set beyond the
// prefix). Stateless; construct one on the stack.
#pragma once

#include "afx.h"
#include "VeilgateApi.h"

class VG_API AddressMath : public CObject
{
public:
    AddressMath() {}
    virtual ~AddressMath();

// Operations
    // Empties parts, then appends the tokens of lpszText between any of the
    // delimiter characters; runs of delimiters count as one and empty tokens
    // are skipped. Returns the number of tokens, or -1 when there is no
    // text (NULL).
    int SplitText(LPCTSTR lpszText, LPCTSTR lpszDelimiters, CStringArray& parts);

    // Dotted netmask of a prefix length read as atoi reads it: 24 gives
    // 255.255.255.0. FALSE, with strNetmask untouched, outside 0..32.
    BOOL PrefixToNetmask(LPCTSTR lpszPrefix, CString& strNetmask);

    // strResult = address AND netmask, octet by octet, in plain decimals.
    // FALSE, with strResult untouched, unless both texts have four parts.
    BOOL MaskAddress(LPCTSTR lpszAddress, LPCTSTR lpszNetmask, CString& strResult);

    // TRUE when "address/prefix" has no host bits. The comparison is on the
    // text, so 010.1.2.0/24 is not a network address. A text without "/" is
    // never one.
    BOOL IsNetworkAddress(LPCTSTR lpszText);
};
