#include "AddressMath.h"

#include <stdlib.h>
#include <string.h>

AddressMath::~AddressMath() {}

int AddressMath::SplitText(LPCTSTR lpszText, LPCTSTR lpszDelimiters, CStringArray& parts)
{
    parts.RemoveAll();
    if (lpszText == NULL)
        return -1;
    size_t nLength = strlen(lpszText);
    char* pszCopy = static_cast<char*>(malloc(nLength + 1));
    if (pszCopy == NULL)
        return -1;
    memcpy(pszCopy, lpszText, nLength + 1);

    LPCTSTR lpszDelims = lpszDelimiters != NULL ? lpszDelimiters : "";
    char* p = pszCopy;
    for (;;) {
        p += strspn(p, lpszDelims);
        if (*p == '\0')
            break;
        size_t nToken = strcspn(p, lpszDelims);
        parts.Add(CString(p, (int)nToken));
        p += nToken;
    }
    free(pszCopy);
    return parts.GetSize();
}

BOOL AddressMath::PrefixToNetmask(LPCTSTR lpszPrefix, CString& strNetmask)
{
    int n = atoi(lpszPrefix != NULL ? lpszPrefix : "");
    if (n < 0 || n > 32)
        return FALSE;

    // Octet value for a remainder of 1 to 7 leading one-bits.
    static const LPCTSTR kPartialOctet[8] = { "0", "128", "192", "224", "240", "248", "252", "254" };
    CString strMask;
    for (int nOctet = 0; nOctet < 4; ++nOctet) {
        if (nOctet > 0)
            strMask += '.';
        if (n >= 8) {
            strMask += "255";
            n -= 8;
        } else {
            strMask += kPartialOctet[n];
            n = 0;
        }
    }
    strNetmask = strMask;
    return TRUE;
}

BOOL AddressMath::MaskAddress(LPCTSTR lpszAddress, LPCTSTR lpszNetmask, CString& strResult)
{
    CStringArray address, netmask;
    if (SplitText(lpszAddress, ".", address) != 4 || SplitText(lpszNetmask, ".", netmask) != 4)
        return FALSE;
    strResult.Format("%d.%d.%d.%d",
                     atoi(address[0]) & atoi(netmask[0]), atoi(address[1]) & atoi(netmask[1]),
                     atoi(address[2]) & atoi(netmask[2]), atoi(address[3]) & atoi(netmask[3]));
    return TRUE;
}

BOOL AddressMath::IsNetworkAddress(LPCTSTR lpszText)
{
    CString strText(lpszText != NULL ? lpszText : "");
    int nSlash = strText.Find('/');
    if (nSlash < 0)
        return FALSE;
    CString strAddress = strText.Left(nSlash);
    CString strNetmask, strResult;
    // A prefix out of range leaves the netmask empty; masking then fails and
    // the empty result differs from any address.
    PrefixToNetmask(strText.Mid(nSlash + 1), strNetmask);
    MaskAddress(strAddress, strNetmask, strResult);
    return strResult == strAddress;
}
