// CheckRange: the numeric range check behind every field of the address
// edit control. It composes the message that the caller shows; it shows
// nothing itself.
#pragma once

#include "afx.h"
#include "VeilgateApi.h"

// TRUE when lpszText, with the blanks around it removed, reads as a decimal
// number (leading digits, as atoi reads them) within [nLowest, nHighest].
// Otherwise strMessage says what is wrong; it is emptied on success.
VG_API BOOL CheckRange(LPCTSTR lpszText, int nLowest, int nHighest, CString& strMessage);
