#include "VeilgateChanges.h"
#include "VeilgateSettings.h"
#include "SafeContentPage.h"
#include "ScheduleGrid.h"
#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

using namespace VgSettings;

namespace VgChanges
{

namespace {

const char kArrow[] = " -> ";
const char kNoLine[] = "(none)";

// The owned sections of one document's service; a section it lacks reads
// as absent keys.
class Service
{
public:
    Service(Beach& beach, const CString& service) : m_beach(beach)
    {
        m_proxy = beach.digQuolla(kProxySection, service);
        m_filter = beach.digQuolla(kFilterSection, service);
    }
    ~Service()
    {
        if (m_proxy != NULL)
            m_beach.tossQuolla(m_proxy);
        if (m_filter != NULL)
            m_beach.tossQuolla(m_filter);
    }
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // False, the holder untouched, when the key is absent.
    bool Get(const Setting& s, QuoVal& value)
    {
        Quolla* section = strcmp(s.section, kProxySection) == 0 ? m_proxy : m_filter;
        return section != NULL && section->getProp(s.key, value);
    }
    int Number(const Setting& s)
    {
        QuoValOf<int> value(s.defaultNumber);
        Get(s, value);
        return value.value;
    }
    CString Text(const Setting& s)
    {
        QuoValOf<CString> value(s.defaultText != NULL ? s.defaultText : "");
        Get(s, value);
        return value.value;
    }

private:
    Beach& m_beach;
    Quolla* m_proxy;
    Quolla* m_filter;
};

// Where a value is shown and how its lines begin: "PAGE: FIELD: ".
class Lines
{
public:
    explicit Lines(CStringArray& out) : m_out(out) {}
    void Add(const CString& where, const CString& field, const CString& change)
    {
        CString line = where;
        if (!field.IsEmpty())
            line += ": " + field;
        m_out.Add(line + ": " + change);
    }
    void Change(const CString& where, const CString& field, const CString& before, const CString& after)
    {
        if (before != after)
            Add(where, field, before + kArrow + after);
    }

private:
    CStringArray& m_out;
};

CString OnOff(bool on)
{
    return on ? "on" : "off";
}

CString Number(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

CString Joined(const CStringArray& items, LPCTSTR separator)
{
    CString text;
    for (int i = 0; i < items.GetSize(); ++i)
        text += (i > 0 ? separator : "") + items[i];
    return text;
}

// How often each item stands in a list. The views point into the list's own
// texts, so that a list of a million entries is counted without copies.
typedef std::unordered_map<std::string_view, int> ItemCounts;

std::string_view View(const CString& text)
{
    return std::string_view((LPCTSTR)text, text.GetLength());
}

ItemCounts Counts(const CStringArray& items)
{
    ItemCounts counts;
    counts.reserve(items.GetSize());
    for (int i = 0; i < items.GetSize(); ++i)
        ++counts[View(items[i])];
    return counts;
}

// A line "SIGN item" for each item beyond as many as the other list holds;
// the others, in their order, into kept.
void Unmatched(Lines& lines, const CString& where, const CString& field, const CStringArray& items,
               ItemCounts inOther, LPCTSTR sign, CStringArray& kept)
{
    for (int i = 0; i < items.GetSize(); ++i) {
        auto found = inOther.find(View(items[i]));
        if (found != inOther.end() && found->second > 0) {
            --found->second;
            kept.Add(items[i]);
        } else {
            lines.Add(where, field, sign + items[i]);
        }
    }
}

// The entries of a list whose order the page does not keep, or keeps (the
// servers): "- entry" for each one gone, then "+ entry" for each one new,
// repeats counted. For an ordered list whose common entries moved, also
// the whole list before and after.
void ListChanges(Lines& lines, const CString& where, const CString& field, const CStringArray& before,
                 const CStringArray& after, bool ordered)
{
    bool same = before.GetSize() == after.GetSize();
    for (int i = 0; same && i < before.GetSize(); ++i)
        same = before[i] == after[i];
    if (same)
        return;
    CStringArray keptBefore, keptAfter;
    Unmatched(lines, where, field, before, Counts(after), "- ", keptBefore);
    Unmatched(lines, where, field, after, Counts(before), "+ ", keptAfter);
    for (int i = 0; ordered && i < keptBefore.GetSize(); ++i) {
        if (keptBefore[i] != keptAfter[i]) {
            lines.Change(where, field, Joined(before, ", "), Joined(after, ", "));
            return;
        }
    }
}

// A list's entries as its page shows them: the lines of a text (without
// remarks and blank lines), the items of a list, or the servers as
// "address:port" in their order.
void ListEntries(Service& service, const Setting& s, CStringArray& entries)
{
    if (s.reading == ReadEntryLines) {
        ParseListText(service.Text(s), "\n", entries);
    } else if (s.reading == ReadEntries) {
        CStringList list;
        QuoValOf<CStringList*> value(&list);
        service.Get(s, value);
        for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
            entries.Add(list.GetNext(pos));
    } else {
        QuoValOf<QuoVGServerIpMap> map;
        service.Get(s, map);
        for (const QuoVGServerIp* pServer : ServersInListOrder(map.value)) {
            CString entry;
            entry.Format("%s:%d", (LPCTSTR)pServer->address, pServer->port);
            entries.Add(entry);
        }
    }
}

void MessageLines(const CString& stored, CStringArray& lines)
{
    const CString shown = DisplayMessage(stored);
    int start = 0;
    while (start < shown.GetLength()) {
        int end = shown.Find("\r\n", start);
        if (end < 0)
            end = shown.GetLength();
        lines.Add(shown.Mid(start, end - start));
        start = end + 2;
    }
}

// The deny message: the first line that differs, before and after, and how
// many lines changed (a line replaced, put in or taken out counts once).
// Lines are matched along their longest common run; past kMatchCells the
// part between the common beginning and end counts as changed whole.
void MessageChange(Lines& lines, const CString& where, const CString& field, const CString& before,
                   const CString& after)
{
    CStringArray a, b;
    MessageLines(before, a);
    MessageLines(after, b);
    int first = 0, tail = 0;
    const int n = (int)a.GetSize(), m = (int)b.GetSize();
    while (first < n && first < m && a[first] == b[first])
        ++first;
    if (first == n && first == m)
        return;
    while (tail < n - first && tail < m - first && a[n - 1 - tail] == b[m - 1 - tail])
        ++tail;
    const int rows = n - first - tail, columns = m - first - tail;

    // Past the common beginning, both sides' first lines open the first
    // change: shown when that change takes out or puts in a line.
    int changed = 0;
    bool takesFirst = rows > 0, putsFirst = columns > 0;
    const long long kMatchCells = 1 << 20;
    if ((long long)(rows + 1) * (columns + 1) > kMatchCells) {
        changed = std::max(rows, columns);
    } else {
        // common[i][j]: the longest common run of the middle's a[i..] and b[j..].
        std::vector<int> common((rows + 1) * (columns + 1), 0);
        auto at = [&](int i, int j) -> int& { return common[i * (columns + 1) + j]; };
        for (int i = rows - 1; i >= 0; --i)
            for (int j = columns - 1; j >= 0; --j)
                at(i, j) = a[first + i] == b[first + j] ? at(i + 1, j + 1) + 1
                                                        : std::max(at(i + 1, j), at(i, j + 1));
        int taken = 0, put = 0, hunks = 0;
        for (int i = 0, j = 0; i < rows || j < columns;) {
            const bool same = i < rows && j < columns && a[first + i] == b[first + j];
            if (same)
                ++i, ++j;
            else if (j == columns || (i < rows && at(i + 1, j) >= at(i, j + 1)))
                ++taken, ++i;
            else
                ++put, ++j;
            if ((same || (i == rows && j == columns)) && taken + put > 0) {
                if (hunks++ == 0)
                    takesFirst = taken > 0, putsFirst = put > 0;
                changed += std::max(taken, put);
                taken = put = 0;
            }
        }
    }
    const CString firstBefore = takesFirst ? a[first] : CString(kNoLine);
    const CString firstAfter = putsFirst ? b[first] : CString(kNoLine);
    CString change;
    change.Format("line %d: %s%s%s (%d line%s changed)", first + 1, (LPCTSTR)firstBefore, kArrow,
                  (LPCTSTR)firstAfter, changed, changed == 1 ? "" : "s");
    lines.Add(where, field, change);
}

// Category k as the privileges page shows it; a short mask allows the rest.
bool Denied(const CString& mask, int category)
{
    const int position = CategoryPosition(category);
    return position < mask.GetLength() && mask[position] == '1';
}

void CategoryChanges(Lines& lines, const CString& where, const CString& field, const CString& before,
                     const CString& after)
{
    for (int k = 0; k < CategoryCount; ++k)
        if (Denied(before, k) != Denied(after, k))
            lines.Add(where, field, (Denied(after, k) ? "+ " : "- ") + CategoryName(k));
}

// The schedule as the grid shows it, from its stored form.
CString ShownSchedule(const CString& stored)
{
    return stored.IsEmpty() ? DefaultSchedule() : ScheduleLayout::FullMask(ReversedSchedule(stored));
}

// Each run of hours of one day that changed the same way.
void ScheduleChanges(Lines& lines, const CString& where, const CString& before, const CString& after)
{
    const CString a = ShownSchedule(before), b = ShownSchedule(after);
    auto operational = [](const CString& shown, int day, int hour) {
        return ScheduleLayout::CellImage(shown[SchedulePosition(day, hour)]) != 0;
    };
    for (int day = 0; day < ScheduleDays; ++day) {
        for (int hour = 0, end; hour < ScheduleHoursPerDay; hour = end) {
            const bool was = operational(a, day, hour), is = operational(b, day, hour);
            end = hour + 1;
            if (was == is)
                continue;
            while (end < ScheduleHoursPerDay && operational(a, day, end) == was && operational(b, day, end) == is)
                ++end;
            CString change;
            change.Format("%s %02d:00-%02d:59: %s%s%s", DayName(day), hour, end - 1, HourWord(was), kArrow,
                          HourWord(is));
            lines.Add(where, "", change);
        }
    }
}

// The caption of each page and the label of each group field, read once.
struct Words
{
    CString captions[PageCount];
    CString groupLabels[GroupFieldCount];

    Words()
    {
        for (int p = 0; p < PageCount; ++p)
            captions[p] = PageCaption((Page)p);
        for (int f = 0; f < GroupFieldCount; ++f)
            groupLabels[f] = Label(DescribeGroupField((GroupField)f));
    }
    CString Where(Page page) const { return page >= 0 && page < PageCount ? captions[page] : CString(); }
    CString Where(Page page, const CString& group) const { return Where(page) + " (group " + group + ")"; }
};

CString GroupText(const QuoSievex& group, GroupField field)
{
    switch (field) {
    case GroupOpMask: return group.opMask;
    case GroupSchedule: return group.schedule;
    case GroupNonOpMask: return group.nonOpMask;
    case GroupReserved: return group.reserved;
    default: return CString();
    }
}

bool GroupSwitch(const QuoSievex& group, GroupField field)
{
    return field == GroupOpBlockAll ? group.opBlockAll : field == GroupNonOpBlockAll && group.nonOpBlockAll;
}

// The fields of a group in both documents, page by page; the members,
// which no page shows, last.
void GroupChanges(Lines& lines, const Words& words, const CString& name, const QuoSievex& before,
                  const QuoSievex& after)
{
    for (int page = 0; page <= PageCount; ++page) {
        for (int f = 0; f < GroupFieldCount; ++f) {
            const GroupField field = (GroupField)f;
            const RecordField& r = DescribeGroupField(field);
            if (r.page != (page == PageCount ? NoPage : (Page)page))
                continue;
            const CString where = words.Where(r.page, name), label = words.groupLabels[f];
            switch (r.reading) {
            case ReadCategoryMask:
                CategoryChanges(lines, where, label, GroupText(before, field), GroupText(after, field));
                break;
            case ReadSchedule:
                ScheduleChanges(lines, where, GroupText(before, field), GroupText(after, field));
                break;
            case ReadSwitch:
                lines.Change(where, label, OnOff(GroupSwitch(before, field)), OnOff(GroupSwitch(after, field)));
                break;
            case ReadNames:
                ListChanges(lines, "Group " + name, r.name, before.members, after.members, false);
                break;
            default:
                break;
            }
        }
    }
}

// "Groups: - NAME" or "+ NAME" for each group of one map the other lacks.
void GroupsMissing(Lines& lines, const QuoSievexMap& groups, const QuoSievexMap& other, LPCTSTR sign)
{
    CString name;
    QuoSievex *pGroup, *pOther;
    for (POSITION pos = groups.GetStartPosition(); pos != NULL;) {
        groups.GetNextAssoc(pos, name, pGroup);
        if (!other.Lookup(name, pOther))
            lines.Add("Groups", "", sign + name);
    }
}

void GroupsChanges(Lines& lines, const Words& words, Service& before, Service& after, const Setting& s)
{
    QuoValOf<QuoSievexMap> a, b;
    before.Get(s, a);
    after.Get(s, b);
    GroupsMissing(lines, a.value, b.value, "- ");
    GroupsMissing(lines, b.value, a.value, "+ ");
    CString name;
    QuoSievex *pBefore, *pAfter;
    for (POSITION pos = a.value.GetStartPosition(); pos != NULL;) {
        a.value.GetNextAssoc(pos, name, pBefore);
        if (b.value.Lookup(name, pAfter))
            GroupChanges(lines, words, name, *pBefore, *pAfter);
    }
}

void KeyChanges(Lines& lines, const Words& words, Service& before, Service& after, const Setting& s)
{
    const CString where = words.Where(s.page), label = Label(s);
    switch (s.reading) {
    case ReadSwitch:
        lines.Change(where, label, OnOff(before.Number(s) != 0), OnOff(after.Number(s) != 0));
        break;
    case ReadNumber: {
        const int a = before.Number(s), b = after.Number(s);
        if (a != b) {
            const CString unit = ControlUnit(s.page, s.field);
            lines.Add(where, label, Number(a) + kArrow + Number(b) + (unit.IsEmpty() ? "" : " " + unit));
        }
        break;
    }
    case ReadText:
        lines.Change(where, label, before.Text(s), after.Text(s));
        break;
    case ReadProxyServer: {
        const CString a = before.Text(s), b = after.Text(s);
        lines.Change(where, label, a.IsEmpty() ? OnOff(false) : a, b.IsEmpty() ? OnOff(false) : b);
        break;
    }
    case ReadMessage:
        MessageChange(lines, where, label, before.Text(s), after.Text(s));
        break;
    case ReadEntryLines:
    case ReadEntries:
    case ReadServers: {
        CStringArray a, b;
        ListEntries(before, s, a);
        ListEntries(after, s, b);
        ListChanges(lines, where, label, a, b, s.reading == ReadServers);
        break;
    }
    case ReadGroups:
        GroupsChanges(lines, words, before, after, s);
        break;
    default:
        break;
    }
}

} // namespace

void Compare(Beach& before, Beach& after, const CString& service, CStringArray& out)
{
    Service a(before, service), b(after, service);
    Lines lines(out);
    const Words words;
    // Page by page, left to right; the groups, on no page of their own, last.
    for (int page = 0; page <= PageCount; ++page)
        for (int k = 0; k < KeyCount; ++k)
            if (Describe((Key)k).page == (page == PageCount ? NoPage : (Page)page))
                KeyChanges(lines, words, a, b, Describe((Key)k));
}

} // namespace VgChanges
