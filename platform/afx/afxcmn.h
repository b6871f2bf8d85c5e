// afxcmn.h - wrappers of the common controls (comctl32).
//
// Each wrapper is thin: one message to the control per method.
#pragma once

#include "afxwin.h"
#include <commctrl.h>
