#include "VeilgateSettings.h"
#include "afxdlgtemplate.h"
#include "afxres.h"
#include "resource.h"
#include <algorithm>

namespace VgSettings
{

const char kProxySection[] = "proxy_http";
const char kFilterSection[] = "sievex";

namespace {

const char kInt[] = "int";
const char kText[] = "CString";
const char kList[] = "CStringList *";

// The keys in the order of the Key enumeration.
const Setting kSettings[KeyCount] = {
    { kProxySection, "remove_client_info", kInt, 0, NULL, PageSettings, IDC_REMOVE_CLIENT_INFO, 0, ReadSwitch },
    { kProxySection, "remove_cookies", kInt, 0, NULL, PageSettings, IDC_REMOVE_COOKIES, 0, ReadSwitch },
    { kProxySection, "javaapplets", kInt, 0, NULL, PageSettings, IDC_DENY_JAVA, 0, ReadSwitch },
    { kProxySection, "activexapplets", kInt, 0, NULL, PageSettings, IDC_DENY_ACTIVEX, 0, ReadSwitch },
    { kProxySection, "deny_submissions", kInt, 0, NULL, PageSettings, IDC_DENY_SUBMISSIONS, 0, ReadSwitch },
    { kProxySection, "remove_unknown_headers", kInt, 0, NULL, PageSettings, IDC_REMOVE_UNKNOWN_HEADERS, 0,
      ReadSwitch },
    { kProxySection, "log_access", kInt, 0, NULL, PageSettings, IDC_LOG_ACCESS, 0, ReadSwitch },
    { kProxySection, "idle_timeout", kInt, 600, NULL, PageSettings, IDC_IDLE_TIMEOUT, 0, ReadNumber, 0, 1000 },
    { kProxySection, "require_content_type", kInt, 0, NULL, PageSettings, IDC_REQUIRE_CONTENT_TYPE, 0,
      ReadSwitch },
    { kProxySection, "proxy_server", kText, 0, "", PageSettings, IDC_USE_CACHING_PROXY, 0, ReadProxyServer },
    { kProxySection, "deny_unsafe_content", kInt, 0, NULL, PageSafeContent, IDC_ALLOW_ONLY_SAFE, 0, ReadSwitch },
    { kProxySection, "safe_content", kText, 0, "", PageSafeContent, IDC_SAFE_TYPES, IDC_ALLOW_ONLY_SAFE,
      ReadEntryLines },
    { kProxySection, "unsafe_patterns_enabled", kInt, 0, NULL, PageSafeContent, IDC_DENY_UNSAFE_PATTERNS, 0,
      ReadSwitch },
    { kProxySection, "unsafe_patterns", kText, 0, "", PageSafeContent, IDC_UNSAFE_PATTERNS,
      IDC_DENY_UNSAFE_PATTERNS, ReadEntryLines },
    { kFilterSection, "ip_port", "QuoVGServerIpMap", 0, NULL, PageControls, IDC_SERVER_LIST, 0, ReadServers },
    { kFilterSection, "activate", kInt, 0, NULL, PageControls, IDC_ACTIVATE, 0, ReadSwitch },
    { kFilterSection, "allowbypass", kInt, 0, NULL, PageControls, IDC_BYPASS, 0, ReadSwitch },
    { kFilterSection, "denymsg", kText, 0, "", PageControls, IDC_DENY_MESSAGE, 0, ReadMessage },
    { kFilterSection, "urls_allow", kList, 0, NULL, PageExceptions, IDC_ALLOWED_EX_LIST, 0, ReadEntries },
    { kFilterSection, "urls_deny", kList, 0, NULL, PageExceptions, IDC_DENIED_EX_LIST, 0, ReadEntries },
    { kFilterSection, "rules", "QuoSievexMap", 0, NULL, NoPage, 0, 0, ReadGroups },
};

const RecordField kServerFields[ServerFieldCount] = {
    { "address", "CString", NULL, PageControls, IDC_SERVER_LIST, 0, ReadText },
    { "port", "int", NULL, PageControls, IDC_SERVER_LIST, 0, ReadNumber, 0, 65535 },
    { "position", "int", NULL, PageControls, IDC_SERVER_LIST, 0, ReadHidden },
};

// A group that leaves out a mask shows every category allowed; one that
// leaves out its schedule shows DefaultSchedule().
const RecordField kGroupFields[GroupFieldCount] = {
    { "opMask", "CString", NULL, PageOperational, IDC_DENIED_LIST, IDC_DENIED_LABEL, ReadCategoryMask },
    { "schedule", "CString", NULL, PageSchedule, IDC_SCHEDULE_GRID, 0, ReadSchedule },
    { "nonOpMask", "CString", NULL, PageNonOperational, IDC_DENIED_LIST, IDC_DENIED_LABEL, ReadCategoryMask },
    { "reserved", "CString", NULL, NoPage, 0, 0, ReadHidden },
    { "members", "CStringArray", NULL, NoPage, 0, 0, ReadNames },
    { "nonOpBlockAll", "bool", NULL, PageNonOperational, IDC_BLOCK_ALL, 0, ReadSwitch },
    { "opBlockAll", "bool", NULL, PageOperational, IDC_BLOCK_ALL, 0, ReadSwitch },
};

// The template of each page, and the string of its tab caption where the
// page's own caption stands in for the template's.
const struct { UINT nIDTemplate; UINT nIDCaption; } kPages[PageCount] = {
    { IDD_PROXY_SETTINGS, 0 },
    { IDD_SAFE_CONTENT, 0 },
    { IDD_VG_CONTROLS, 0 },
    { IDD_VG_SCHEDULE, 0 },
    { IDD_VG_PRIVILEGES, IDS_OPERATIONAL_PRIVILEGES },
    { IDD_VG_PRIVILEGES, IDS_NONOPERATIONAL_PRIVILEGES },
    { IDD_VG_EXCEPTIONS, 0 },
};

// The categories of the privileges pages; a category's number is its index.
const char* const kCategoryNames[CategoryCount] = {
    "Sports",
    "Travel",
    "Hobbies & Recreation",
    "Gambling",
    "Health & Medicine",
    "News",
    "Finance & Investment",
    "Government & Politics",
    "Arts & Entertainment",
    "Job Search & Career Development",
    "Education",
    "Computing & Internet",
    "Advertisements",
    "Shopping",
    "Adult/Sexually Explicit",
    "Criminal Skills",
    "Hate Speech",
    "Violence",
    "Weapons",
    "Glamour & Intimate Apparel",
    "Personals & Dating",
    "Photo Searches",
    "Remote Proxies",
    "Hosting Sites",
    "Motor Vehicles",
    "Games",
    "Drugs, Alcohol & Tobacco",
    "Sex Education",
    "Usenet News",
    "Chat",
    "Lifestyle & Culture",
    "Food & Drink",
    "Religion",
    "Real Estate",
    "Reference",
    "Kids Sites",
    "Search Engines",
    "Hacking",
    "Web-based Email",
    "Streaming Media",
};

const char* const kDays[ScheduleDays] = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                          "Saturday" };

// A label as shown: the mnemonic's "&" goes ("&&" stands for one "&"), and
// so does a closing colon.
CString Shown(const CString& text)
{
    CString shown;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == '&' && i + 1 < text.GetLength())
            ++i;
        else if (text[i] == '&')
            continue;
        shown += text[i];
    }
    shown.TrimRight();
    if (!shown.IsEmpty() && shown[shown.GetLength() - 1] == ':')
        shown = shown.Left(shown.GetLength() - 1);
    shown.TrimRight();
    return shown;
}

bool OverlapsVertically(const DialogTemplateItem& a, const DialogTemplateItem& b)
{
    return a.y < b.y + b.cy && b.y < a.y + a.cy;
}

bool OverlapsHorizontally(const DialogTemplateItem& a, const DialogTemplateItem& b)
{
    return a.x < b.x + b.cx && b.x < a.x + a.cx;
}

bool Encloses(const DialogTemplateItem& outer, const DialogTemplateItem& inner)
{
    return outer.x <= inner.x && outer.y <= inner.y && inner.x + inner.cx <= outer.x + outer.cx &&
           inner.y + inner.cy <= outer.y + outer.cy;
}

// The text that labels a control without a caption of its own: the nearest
// text on its left in the same row, else the smallest group box around it,
// else the nearest text or check box above it.
CString LabelBeside(const DialogTemplate& dlg, const DialogTemplateItem& control)
{
    const DialogTemplateItem* left = NULL;
    const DialogTemplateItem* group = NULL;
    const DialogTemplateItem* above = NULL;
    for (int i = 0; i < dlg.items.GetSize(); ++i) {
        const DialogTemplateItem& t = dlg.items[i];
        if (t.IsText() && t.x + t.cx <= control.x && OverlapsVertically(t, control) &&
            (left == NULL || t.x + t.cx > left->x + left->cx))
            left = &t;
        if (t.IsGroupBox() && Encloses(t, control) && (group == NULL || t.cx * t.cy < group->cx * group->cy))
            group = &t;
        if ((t.IsText() || t.IsCheckBox()) && t.y + t.cy <= control.y && OverlapsHorizontally(t, control) &&
            (above == NULL || t.y + t.cy > above->y + above->cy))
            above = &t;
    }
    const DialogTemplateItem* label = left ? left : group ? group : above;
    return label != NULL ? label->text : CString();
}

bool LoadPage(Page page, DialogTemplate& dlg)
{
    return page >= 0 && page < PageCount && dlg.Load(kPages[page].nIDTemplate);
}

// The deny message as shown may be no longer than a person may type.
bool CheckDenyMessage(const CString& stored, CString& reason)
{
    const int length = DisplayMessage(stored).GetLength();
    if (length <= DenyMessageLimit)
        return true;
    reason.Format("is %d characters long as shown; the limit is %d", length, (int)DenyMessageLimit);
    return false;
}

} // namespace

CString ReversedSchedule(const CString& schedule)
{
    CString reversed = schedule;
    reversed.MakeReverse();
    return reversed;
}

CString DefaultSchedule()
{
    CString schedule('0', ScheduleLength);
    for (int day = 1; day <= 5; ++day)
        for (int hour = 7; hour < 19; ++hour)
            schedule.SetAt(SchedulePosition(day, hour), '1');
    return schedule;
}

bool CheckNumber(int value, int minimum, int maximum, CString& message)
{
    message.Empty();
    if (value >= minimum && value <= maximum)
        return true;
    CString low, high;
    low.Format("%d", minimum);
    high.Format("%d", maximum);
    AfxFormatString2(message, AFX_IDP_PARSE_INT_RANGE, low, high);
    return false;
}

namespace {

bool CheckMask(const CString& mask, int length, CString& reason)
{
    reason.Empty();
    if (mask.IsEmpty())
        return true;
    if (mask.GetLength() != length) {
        reason.Format("has %d characters, not %d", mask.GetLength(), length);
        return false;
    }
    for (int i = 0; i < length; ++i) {
        if (mask[i] != '0' && mask[i] != '1') {
            reason.Format("has a character other than \"0\" or \"1\" at position %d", i);
            return false;
        }
    }
    return true;
}

} // namespace

bool CheckCategoryMask(const CString& mask, CString& reason)
{
    return CheckMask(mask, CategoryCount, reason);
}

bool CheckSchedule(const CString& schedule, CString& reason)
{
    return CheckMask(schedule, ScheduleLength, reason);
}

const Setting& Describe(Key key)
{
    ASSERT(key >= 0 && key < KeyCount);
    return kSettings[key];
}

const Setting* Find(LPCTSTR section, LPCTSTR key)
{
    for (const Setting& s : kSettings)
        if (strcmp(s.section, section) == 0 && strcmp(s.key, key) == 0)
            return &s;
    return NULL;
}

const RecordField& DescribeServerField(ServerField field)
{
    ASSERT(field >= 0 && field < ServerFieldCount);
    return kServerFields[field];
}

const RecordField& DescribeGroupField(GroupField field)
{
    ASSERT(field >= 0 && field < GroupFieldCount);
    return kGroupFields[field];
}

CString PageCaption(Page page)
{
    CString caption;
    if (page < 0 || page >= PageCount)
        return caption;
    if (kPages[page].nIDCaption != 0 && caption.LoadString(kPages[page].nIDCaption))
        return caption;
    DialogTemplate dlg;
    return LoadPage(page, dlg) ? dlg.caption : CString();
}

CString ControlLabel(Page page, UINT field, UINT label)
{
    DialogTemplate dlg;
    if (field == 0 || !LoadPage(page, dlg))
        return CString();
    const DialogTemplateItem* own = dlg.Find(label != 0 ? label : field);
    if (own != NULL && !own->text.IsEmpty() && (own->IsText() || own->IsCheckBox() || own->IsGroupBox()))
        return Shown(own->text);
    const DialogTemplateItem* control = dlg.Find(field);
    return control != NULL ? Shown(LabelBeside(dlg, *control)) : CString();
}

CString ControlUnit(Page page, UINT field)
{
    DialogTemplate dlg;
    const DialogTemplateItem* control = LoadPage(page, dlg) ? dlg.Find(field) : NULL;
    const DialogTemplateItem* best = NULL;
    for (int i = 0; control != NULL && i < dlg.items.GetSize(); ++i) {
        const DialogTemplateItem& t = dlg.items[i];
        if (t.IsText() && t.x >= control->x + control->cx && OverlapsVertically(t, *control) &&
            (best == NULL || t.x < best->x))
            best = &t;
    }
    return best != NULL ? Shown(best->text) : CString();
}

CString CategoryName(int category)
{
    return category >= 0 && category < CategoryCount ? CString(kCategoryNames[category]) : CString();
}

LPCTSTR DayName(int day)
{
    return day >= 0 && day < ScheduleDays ? kDays[day] : "";
}

LPCTSTR HourWord(BOOL operational)
{
    return operational ? "operational" : "non-operational";
}

const QuoSchema* StoreSchema()
{
    static QuoKeyShape shapes[KeyCount];
    static const QuoSchema schema = { shapes, KeyCount };
    if (shapes[0].key == NULL) {
        for (int i = 0; i < KeyCount; ++i) {
            shapes[i].section = kSettings[i].section;
            shapes[i].key = kSettings[i].key;
            shapes[i].typeName = kSettings[i].typeName;
            shapes[i].rule = i == DenyMessage ? CheckDenyMessage : NULL;
        }
    }
    return &schema;
}

std::vector<const QuoVGServerIp*> ServersInListOrder(const QuoVGServerIpMap& servers)
{
    std::vector<const QuoVGServerIp*> ordered;
    POSITION pos = servers.GetStartPosition();
    while (pos != NULL) {
        CString key;
        QuoVGServerIp* pServer;
        servers.GetNextAssoc(pos, key, pServer);
        if (pServer != NULL)
            ordered.push_back(pServer);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const QuoVGServerIp* a, const QuoVGServerIp* b) { return a->position < b->position; });
    return ordered;
}

} // namespace VgSettings
