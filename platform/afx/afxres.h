// Resource numbers of the framework layer's own strings.
#pragma once

#define AFX_IDS_APP_TITLE        0xE000
#define AFX_IDP_PARSE_INT        0xF110
#define AFX_IDP_PARSE_REAL       0xF111
#define AFX_IDP_PARSE_INT_RANGE  0xF112
#define AFX_IDP_PARSE_REAL_RANGE 0xF113
#define AFX_IDP_PARSE_STRING_SIZE 0xF114
#define AFX_IDP_PARSE_RADIO_BUTTON 0xF115
#define AFX_IDP_PARSE_BYTE       0xF116
#define AFX_IDP_PARSE_UINT       0xF117

// Dialog initialisation data: the items of a template's list and combo boxes.
#define RT_DLGINIT               MAKEINTRESOURCE(240)
