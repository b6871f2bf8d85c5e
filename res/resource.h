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

// Schedule page and its grid
#define IDD_VG_SCHEDULE         5168
#define IDC_SCHEDULE_GRID       5241
#define IDC_SCHEDULE_FRAME      5247
#define IDB_OPERATIONAL_HOUR    5032
#define IDB_NONOPERATIONAL_HOUR 5033
#define IDB_SCHEDULE_HEADER     5037

// Pictures of the module that no page loads; the host finds them by number
#define IDB_ALLOWED             5030
#define IDB_DENIED              5031
#define IDB_SCHEDULE            5036
#define IDB_FILTER              5047
#define IDI_HTTP_PROXY          5035
#define IDI_ALLOWED             5038
#define IDI_DENIED              5039
#define IDI_SCHEDULE            5040
#define IDI_CATEGORIES          5041
#define IDI_EXCEPTION           5042
#define IDI_FILTER_SERVER       5048
#define IDI_GROUP               5049
