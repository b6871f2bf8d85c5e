#include "CheckRange.h"

#include <stdlib.h>

BOOL CheckRange(LPCTSTR lpszText, int nLowest, int nHighest, CString& strMessage)
{
    strMessage.Empty();
    CString strValue(lpszText != NULL ? lpszText : "");
    strValue.TrimLeft();
    strValue.TrimRight();

    if (strValue.IsEmpty()) {
        strMessage.Format("Please specify a number between %d and %d.", nLowest, nHighest);
    } else {
        // A zero or a text with no leading digits is a number too (0): only
        // an empty entry gets the first message.
        int nValue = atoi(strValue);
        if (nValue < nLowest || nValue > nHighest)
            strMessage.Format("%d is not a valid entry. Please specify a number between %d and %d.",
                              nValue, nLowest, nHighest);
    }
    return strMessage.IsEmpty();
}
