// Resource numbers of the module. Message maps and data exchange are keyed
// by them; they must not change.
#pragma once

// Category privileges page
#define IDD_VG_PRIVILEGES       5006
#define IDC_BLOCK_GROUP         5220
#define IDC_BLOCK_ALL           5221
#define IDC_ALLOWED_LIST        5288
#define IDC_DENIED_LIST         5289
#define IDC_DENY_SELECTED       5290
#define IDC_DENY_ALL            5291
#define IDC_ALLOW_ALL           5292
#define IDC_ALLOW_SELECTED      5293
#define IDC_ALLOWED_LABEL       5295
#define IDC_DENIED_LABEL        5296
