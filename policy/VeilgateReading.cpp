#include "VeilgateReading.h"
#include "SafeContentPage.h"
#include "ScheduleGrid.h"
#include <algorithm>
#include <vector>

namespace VgReading
{

const char kArrow[] = " -> ";

namespace {

const char kNoLine[] = "(none)";

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

} // namespace

Service::Service(Beach& beach, const CString& service) : m_beach(beach)
{
    m_proxy = beach.digQuolla(kProxySection, service);
    m_filter = beach.digQuolla(kFilterSection, service);
}

Service::~Service()
{
    if (m_proxy != NULL)
        m_beach.tossQuolla(m_proxy);
    if (m_filter != NULL)
        m_beach.tossQuolla(m_filter);
}

Quolla* Service::Section(const Setting& s) const
{
    return strcmp(s.section, kProxySection) == 0 ? m_proxy : m_filter;
}

bool Service::Get(const Setting& s, QuoVal& value)
{
    Quolla* section = Section(s);
    return section != NULL && section->getProp(s.key, value);
}

int Service::Number(const Setting& s)
{
    QuoValOf<int> value(s.defaultNumber);
    Get(s, value);
    return value.value;
}

CString Service::Text(const Setting& s)
{
    QuoValOf<CString> value(s.defaultText != NULL ? s.defaultText : "");
    Get(s, value);
    return value.value;
}

void Lines::Add(const CString& where, const CString& field, const CString& change)
{
    CString line = where;
    if (!field.IsEmpty())
        line += ": " + field;
    m_out.Add(line + ": " + change);
}

void Lines::Change(const CString& where, const CString& field, const CString& before, const CString& after)
{
    if (before != after)
        Add(where, field, before + kArrow + after);
}

Words::Words()
{
    for (int p = 0; p < PageCount; ++p)
        captions[p] = PageCaption((Page)p);
    for (int f = 0; f < GroupFieldCount; ++f)
        groupLabels[f] = Label(DescribeGroupField((GroupField)f));
}

CString OnOff(bool on)
{
    return on ? "on" : "off";
}

CString NumberText(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

CString ProxyText(const CString& stored)
{
    return stored.IsEmpty() ? OnOff(false) : stored;
}

CString Joined(const CStringArray& items, LPCTSTR separator)
{
    CString text;
    for (int i = 0; i < items.GetSize(); ++i)
        text += (i > 0 ? separator : "") + items[i];
    return text;
}

ItemCounts Counts(const CStringArray& items)
{
    ItemCounts counts;
    counts.reserve(items.GetSize());
    for (int i = 0; i < items.GetSize(); ++i)
        ++counts[View(items[i])];
    return counts;
}

void ListEntries(Service& service, const Setting& s, CStringArray& entries, QuoValOf<QuoVGServerIpMap>* servers,
                 std::vector<const QuoVGServerIp*>* ordered)
{
    if (s.reading == ReadEntryLines) {
        ParseListText(service.Text(s), "\n", entries);
    } else if (s.reading == ReadEntries) {
        CStringList list;
        QuoValOf<CStringList*> value(&list);
        service.Get(s, value);
        entries.SetSize(0, list.GetCount());
        for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
            entries.Add(list.GetNext(pos));
    } else {
        QuoValOf<QuoVGServerIpMap> own;
        QuoValOf<QuoVGServerIpMap>& map = servers != NULL ? *servers : own;
        service.Get(s, map);
        for (const QuoVGServerIp* pServer : ServersInListOrder(map.value)) {
            CString entry;
            entry.Format("%s:%d", (LPCTSTR)pServer->address, pServer->port);
            entries.Add(entry);
            if (ordered != NULL)
                ordered->push_back(pServer);
        }
    }
}

// Lines are matched along their longest common run; past kMatchCells the
// part between the common beginning and end counts as changed whole. A line
// replaced, put in or taken out counts once.
CString MessageChange(const CString& before, const CString& after)
{
    CStringArray a, b;
    MessageLines(before, a);
    MessageLines(after, b);
    int first = 0, tail = 0;
    const int n = (int)a.GetSize(), m = (int)b.GetSize();
    while (first < n && first < m && a[first] == b[first])
        ++first;
    if (first == n && first == m)
        return CString();
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
    return change;
}

bool Denied(const CString& mask, int category)
{
    const int position = CategoryPosition(category);
    return position < mask.GetLength() && mask[position] == '1';
}

CString ShownSchedule(const CString& stored)
{
    return stored.IsEmpty() ? DefaultSchedule() : ScheduleLayout::FullMask(ReversedSchedule(stored));
}

bool Operational(const CString& shown, int day, int hour)
{
    return ScheduleLayout::CellImage(shown[SchedulePosition(day, hour)]) != 0;
}

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

} // namespace VgReading
