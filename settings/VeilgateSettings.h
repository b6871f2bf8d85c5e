// VeilgateSettings.h - the one description of the settings the module owns.
//
// For every key of the sections "proxy_http" and "sievex", and every field
// of their server and group records: its kind (the type name of the holder
// it is read into), its default, where it is edited in the sheet (the page
// and the control, by resource number, so that captions and labels come
// from the templates) and how a person reads its value. The pages, the
// load and save of the filter settings, the store's checks at open and the
// console's modes without the sheet all ask here.
//
// Encodings, defined here once:
//   category mask  CategoryCount characters, "1" = denied, anything else
//                  allowed; category k of the category table
//                  (CategoryName) stands at position CategoryCount - 1 - k
//   schedule       ScheduleLength characters, position day * 24 + hour, day 0
//                  = Sunday, "1" = operational; stored reversed (the stored
//                  character i is the shown character ScheduleLength - 1 - i)
//   deny message   stored with LF line ends and a "%" before a line starting
//                  with "<" or "%"; shown with CR LF (DisplayMessage)
//   entry lines    "safe_content", "unsafe_patterns": entries joined by LF
#pragma once

#include "afx.h"
#include "quolla.h"
#include "VeilgateApi.h"
#include <vector>
#include <limits.h>

namespace VgSettings
{
    extern VG_API const char kProxySection[];   // "proxy_http"
    extern VG_API const char kFilterSection[];  // "sievex"

    enum
    {
        CategoryCount = 40,
        ScheduleDays = 7,
        ScheduleHoursPerDay = 24,
        ScheduleLength = ScheduleDays * ScheduleHoursPerDay,  // 168
        // The most a person may type into an edit by default: the deny
        // message holds at most this many characters as shown (CR LF
        // counted).
        DenyMessageLimit = 32767,
    };

    inline int CategoryPosition(int category) { return CategoryCount - 1 - category; }
    inline int SchedulePosition(int day, int hour) { return day * ScheduleHoursPerDay + hour; }
    // Shown schedule to stored and back: the same reversal both ways.
    VG_API CString ReversedSchedule(const CString& schedule);
    // Monday to Friday, 07:00 to 18:59 operational.
    VG_API CString DefaultSchedule();
    // The deny message shown (CR LF lines) from its stored form, and back.
    VG_API CString DisplayMessage(const CString& stored);
    VG_API CString StoredMessage(const CString& shown);

    // How a person reads a value.
    enum Reading
    {
        ReadSwitch,        // int: 0 off, anything else on
        ReadNumber,        // int, with the unit shown beside its field
        ReadText,          // a text as it stands
        ReadProxyServer,   // "address:port", or empty: no caching proxy
        ReadMessage,       // the deny message, in its stored form
        ReadEntryLines,    // a text of entries joined by LF
        ReadEntries,       // a list of entries
        ReadServers,       // the filter servers, in the order of their positions
        ReadGroups,        // the filter groups, by name
        ReadCategoryMask,  // category mask
        ReadSchedule,      // schedule, in its stored form
        ReadNames,         // a list of names that no page shows
        ReadHidden,        // read and written, but nothing a person edits
    };

    // The tabs of the sheet, left to right.
    enum Page
    {
        NoPage = -1,
        PageSettings,
        PageSafeContent,
        PageControls,
        PageSchedule,
        PageOperational,
        PageNonOperational,
        PageExceptions,
        PageCount
    };

    struct Setting
    {
        LPCTSTR section;
        LPCTSTR key;
        LPCTSTR typeName;     // "int", "CString", "CStringList *", ...
        int defaultNumber;    // kind "int": the value when the key is absent
        LPCTSTR defaultText;  // kind "CString": the value when absent
        Page page;
        UINT field;           // the control that edits it
        UINT label;           // the control whose text names it; 0: the field's label
        Reading reading;
        // Kind "int": the numbers the sheet takes (its page checks them so).
        int minimum = INT_MIN;
        int maximum = INT_MAX;
    };

    // The keys, in this order: "proxy_http" as the settings page reads it,
    // then "sievex" as the filter settings are saved.
    enum Key
    {
        RemoveClientInfo,
        RemoveCookies,
        DenyJava,
        DenyActiveX,
        DenySubmissions,
        RemoveUnknownHeaders,
        LogAccess,
        IdleTimeout,
        RequireContentType,
        ProxyServer,
        DenyUnsafeContent,
        SafeContent,
        UnsafePatternsEnabled,
        UnsafePatterns,
        Servers,
        Activate,
        AllowBypass,
        DenyMessage,
        UrlsAllow,
        UrlsDeny,
        Rules,
        KeyCount
    };

    VG_API const Setting& Describe(Key key);
    inline LPCTSTR KeyName(Key key) { return Describe(key).key; }
    // NULL when the module does not own the key.
    VG_API const Setting* Find(LPCTSTR section, LPCTSTR key);

    // A field of a server or group record; the record's page is its field's.
    struct RecordField
    {
        LPCTSTR name;
        LPCTSTR typeName;     // "CString", "int", "bool" or "CStringArray"
        LPCTSTR defaultText;  // shown when a group leaves the field out (NULL: empty)
        Page page;
        UINT field;
        UINT label;
        Reading reading;
        int minimum = INT_MIN;  // kind "int": the numbers it may hold
        int maximum = INT_MAX;
    };

    enum ServerField { ServerAddress, ServerPort, ServerPosition, ServerFieldCount };
    enum GroupField
    {
        GroupOpMask,
        GroupSchedule,
        GroupNonOpMask,
        GroupReserved,
        GroupMembers,
        GroupNonOpBlockAll,
        GroupOpBlockAll,
        GroupFieldCount
    };
    VG_API const RecordField& DescribeServerField(ServerField field);
    VG_API const RecordField& DescribeGroupField(GroupField field);

    // For people. The tab caption of a page; a control's label as shown,
    // without the "&" of its mnemonic and without a closing colon: its own
    // text, or the text that labels it in its template (beside it on the
    // left, the group box around it, or the text above it); the unit shown
    // to the right of a field ("seconds"). Empty where there is none.
    VG_API CString PageCaption(Page page);
    VG_API CString ControlLabel(Page page, UINT field, UINT label);
    VG_API CString ControlUnit(Page page, UINT field);
    inline CString Label(const Setting& s) { return ControlLabel(s.page, s.field, s.label); }
    inline CString Label(const RecordField& f) { return ControlLabel(f.page, f.field, f.label); }
    // The name of category k of the category table.
    VG_API CString CategoryName(int category);
    // "Sunday" to "Saturday"; the words for the two kinds of hour.
    VG_API LPCTSTR DayName(int day);
    VG_API LPCTSTR HourWord(BOOL operational);

    // A number against its range: false, with the framework's message for a
    // number out of range ("Please enter an integer between 0 and 1000.").
    VG_API bool CheckNumber(int value, int minimum, int maximum, CString& message);
    inline bool CheckNumber(const Setting& s, int value, CString& message)
    {
        return CheckNumber(value, s.minimum, s.maximum, message);
    }
    inline bool CheckNumber(const RecordField& f, int value, CString& message)
    {
        return CheckNumber(value, f.minimum, f.maximum, message);
    }
    // Whether a stored mask says exactly what its page shows and stores
    // again: CategoryCount (or ScheduleLength) characters "0" and "1".
    // Otherwise false, with the reason ("has 39 characters, not 40"). The
    // empty text, which a group may hold for either, reads as every category
    // allowed and as DefaultSchedule().
    VG_API bool CheckCategoryMask(const CString& mask, CString& reason);
    VG_API bool CheckSchedule(const CString& schedule, CString& reason);

    // What the store is told when it opens a document: the owned keys with
    // their kinds, and the deny message's limit.
    VG_API const QuoSchema* StoreSchema();

    // The servers of a server map in the order the server list shows them:
    // by position; those of equal position in the map's order.
    VG_API std::vector<const QuoVGServerIp*> ServersInListOrder(const QuoVGServerIpMap& servers);
}
