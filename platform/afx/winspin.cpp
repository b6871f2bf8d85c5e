// Runtime class of the up-down control wrapper (afxcmn.h).
#include "afxcmn.h"

IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
