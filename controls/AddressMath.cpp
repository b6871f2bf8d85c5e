#include "AddressMath.h"

#include <stdlib.h>
#include <string.h>

AddressMath::~AddressMath() {}

namespace {

// The tokens of a text between any of the delimiters, as strtok finds
// them: at most nMost start pointers into the text; the number of tokens.
int Tokens(LPCTSTR lpszText, LPCTSTR lpszDelimiters, LPCTSTR* starts, int nMost)
{
    int nCount = 0;
    for (LPCTSTR p = lpszText;;) {
        p += strspn(p, lpszDelimiters);
        if (*p == '\0')
            return nCount;
        if (nCount < nMost)
            starts[nCount] = p;
        ++nCount;
        p += strcspn(p, lpszDelimiters);
    }
}

} // namespace

int AddressMath::SplitText(LPCTSTR lpszText, LPCTSTR lpszDelimiters, CStringArray& parts)
{
    parts.RemoveAll();
    if (lpszText == NULL)
        return -1;
    LPCTSTR lpszDelims = lpszDelimiters != NULL ? lpszDelimiters : "";
    for (LPCTSTR p = lpszText;;) {
        p += strspn(p, lpszDelims);
        if (*p == '\0')
            break;
        size_t nToken = strcspn(p, lpszDelims);
        parts.Add(CString(p, (int)nToken));
        p += nToken;
    }
    return parts.GetSize();
}

BOOL AddressMath::PrefixToNetmask(LPCTSTR lpszPrefix, CString& strNetmask)
{
    int n = atoi(lpszPrefix != NULL ? lpszPrefix : "");
    if (n < 0 || n > 32)
        return FALSE;

    // Octet value for a remainder of 1 to 7 leading one-bits.
    static const LPCTSTR kPartialOctet[8] = { "0", "128", "192", "224", "240", "248", "252", "254" };
    char mask[16] = "";
    for (int nOctet = 0; nOctet < 4; ++nOctet) {
        if (nOctet > 0)
            strcat(mask, ".");
        if (n >= 8) {
            strcat(mask, "255");
            n -= 8;
        } else {
            strcat(mask, kPartialOctet[n]);
            n = 0;
        }
    }
    strNetmask = mask;
    return TRUE;
}

// The parts are read where they stand: atoi stops at the "." that ends one,
// so it reads each as it would read the part alone.
BOOL AddressMath::MaskAddress(LPCTSTR lpszAddress, LPCTSTR lpszNetmask, CString& strResult)
{
    LPCTSTR address[4], netmask[4];
    if (lpszAddress == NULL || lpszNetmask == NULL || Tokens(lpszAddress, ".", address, 4) != 4 ||
        Tokens(lpszNetmask, ".", netmask, 4) != 4)
        return FALSE;
    strResult.Format("%d.%d.%d.%d",
                     atoi(address[0]) & atoi(netmask[0]), atoi(address[1]) & atoi(netmask[1]),
                     atoi(address[2]) & atoi(netmask[2]), atoi(address[3]) & atoi(netmask[3]));
    return TRUE;
}

BOOL AddressMath::IsNetworkAddress(LPCTSTR lpszText)
{
    LPCTSTR text = lpszText != NULL ? lpszText : "";
    LPCTSTR slash = strchr(text, '/');
    if (slash == NULL)
        return FALSE;
    CString strAddress(text, (int)(slash - text));
    CString strNetmask, strResult;
    // A prefix out of range leaves the netmask empty; masking then fails and
    // the empty result differs from any address.
    PrefixToNetmask(slash + 1, strNetmask);
    MaskAddress(strAddress, strNetmask, strResult);
    return strResult == strAddress;
}
