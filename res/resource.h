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
// The tab captions of its two instances
#define IDS_OPERATIONAL_PRIVILEGES      5820
#define IDS_NONOPERATIONAL_PRIVILEGES   5821

// Proxy settings page
#define IDD_PROXY_SETTINGS          5169
#define IDC_REMOVE_CLIENT_INFO      1002
#define IDC_REMOVE_COOKIES          1003
#define IDC_DENY_SUBMISSIONS        1004
#define IDC_REMOVE_UNKNOWN_HEADERS  1005
#define IDC_LOG_ACCESS              1007
#define IDC_PROXY_ADDRESS           1008
#define IDC_PROXY_PORT              1009
#define IDC_IDLE_TIMEOUT            1048
#define IDC_IDLE_TIMEOUT_SPIN       1291
#define IDC_USE_CACHING_PROXY       1304
#define IDC_DENY_JAVA               1343
#define IDC_DENY_ACTIVEX            1344
#define IDC_REQUIRE_CONTENT_TYPE    5264
#define IDS_PROXY_SERVER_INVALID    410
#define IDS_PROXY_PORT_INVALID      429

// Exceptions page
#define IDD_VG_EXCEPTIONS       5164
#define IDC_DENIED_EX_ADD       5217
#define IDC_DENIED_EX_REMOVE    5219
#define IDC_DENIED_EX_LIST      5228
#define IDC_ALLOWED_EX_ADD      5242
#define IDC_ALLOWED_EX_REMOVE   5243
#define IDC_ALLOWED_EX_LIST     5244

// Exception definition dialog
#define IDS_INVALID_NETWORK     5090
#define IDD_VG_EXCEPTION        5167
#define IDC_HOST_ADDRESS        5206
#define IDC_EX_PORT             5208
#define IDC_EX_PATTERN          5210
#define IDC_NETWORK_ADDRESS     5251
#define IDC_LOOKUP_NAME         5252
#define IDC_LOOKUP              5253
#define IDC_TYPE                5254
#define IDC_NETWORK_LABEL       5255
#define IDC_HOST_LABEL          5256
#define IDC_EX_PORT_CHECK       5257
#define IDC_EX_PATTERN_CHECK    5258
#define IDC_EX_PORT_LABEL       5259
#define IDC_EX_PATTERN_LABEL    5260
#define IDC_LOOKUP_LABEL        5261
#define IDC_RESULTS_LABEL       5262
#define IDC_RESULTS             5263
#define IDC_URL_LABEL           5284
#define IDC_URL                 5285

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
// IDC_TYPE (5254) as in the exception definition dialog
#define IDC_SERVER_VALUE        5280
#define IDC_SERVER_PORT         5298
#define IDS_VG_INVALID_ADDRESS  5802

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
