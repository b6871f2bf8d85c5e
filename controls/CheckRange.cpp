#include "CheckRange.h"

#include <stdlib.h>

BOOL CheckRange(LPCTSTR lpszText, int nLowest, int nHighest, CString& strMessage)
{
    strMessage.Empty();
    // The blanks CString::TrimLeft and TrimRight remove; atoi stops before
    // those at the end.
    LPCTSTR p = lpszText != NULL ? lpszText : "";
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;

    if (*p == '\0') {
        strMessage.Format("Please specify a number between %d and %d.", nLowest, nHighest);
    } else {
        // A zero or a text with no leading digits is a number too (0): only
        // an empty entry gets the first message.
        int nValue = atoi(p);
        if (nValue < nLowest || nValue > nHighest)
            strMessage.Format("%d is not a valid entry. Please specify a number between %d and %d.",
                              nValue, nLowest, nHighest);
    }
    return strMessage.IsEmpty();
}
