// Control ids of the test dialog in MaskEditTest.rc.
#pragma once

#define IDD_MASKEDIT_TEST 100
#define IDC_MASKED 1001
#define IDC_OTHER 1002
