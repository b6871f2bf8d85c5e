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

// Safe content page
#define IDD_SAFE_CONTENT            5500
#define IDC_ALLOW_ONLY_SAFE         1006
#define IDC_ADD_SAFE_TYPE           1012
#define IDC_REMOVE_SAFE_TYPE        1013
#define IDC_ADD_PATTERN             1014
#define IDC_REMOVE_PATTERN          1015
#define IDC_SAFE_TYPES              1019
#define IDC_UNSAFE_PATTERNS         1020
#define IDC_NEW_PATTERN             5265
#define IDC_DENY_UNSAFE_PATTERNS    5266
#define IDS_PATTERN_CHARACTERS      5513

// MIME type dialogs: selection (5501) and new type (5502). Both use 1429 and
// 1058 for the type and the description.
#define IDD_SELECT_MIME_TYPE        5501
#define IDD_NEW_MIME_TYPE           5502
#define IDC_MIME_DESCRIPTION        1058
#define IDC_MIME_TYPE_LIST          1088
#define IDC_NEW_MIME_TYPE           1428
#define IDC_MIME_TYPE               1429
#define IDS_ENTER_MIME_TYPE         498
#define IDS_MAKE_SELECTION          499
#define IDS_NO_SPACES               5800
#define IDS_MIME_TYPE_CHARACTERS    5510
#define IDS_MIME_DESCRIPTION_CHARACTERS 5511
#define IDS_MIME_CATALOGUE_UNWRITABLE   5512
