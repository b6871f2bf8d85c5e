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

// Veilgate controls page
#define IDD_VG_CONTROLS         5165
#define IDC_ACTIVATE            5230
#define IDC_ADD_SERVER          1012
#define IDC_REMOVE_SERVER       1013
#define IDC_EDIT_SERVER         5297
#define IDC_UP                  5286
#define IDC_DOWN                5287
#define IDC_BYPASS              5273
#define IDC_DENY_MESSAGE        5234
#define IDC_SERVER_LIST         5270
#define IDS_VG_SERVER_LISTED    5801
#define IDS_VG_NO_SERVER        5804

// Veilgate server IP dialog
#define IDD_VG_SERVER_IP        5174
#define IDC_VALUE_LABEL         5282
#define IDC_TYPE                5254
#define IDC_SERVER_VALUE        5280
#define IDC_SERVER_PORT         5298
#define IDS_VG_INVALID_ADDRESS  5802
