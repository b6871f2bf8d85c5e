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
