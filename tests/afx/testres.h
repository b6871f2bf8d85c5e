#pragma once
#define IDD_TEST_PAGE_A   100
#define IDD_TEST_PAGE_B   101
#define IDC_NUMBER        1001
#define IDC_NAME          1002
#define IDC_FLAG          1003
#define IDC_PUSH          1004
#define IDS_TEST_TITLE    2001
