#include "VeilgateChanges.h"
#include "VeilgateReading.h"

namespace VgChanges
{

namespace {

using namespace VgReading;

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

void CategoryChanges(Lines& lines, const CString& where, const CString& field, const CString& before,
                     const CString& after)
{
    for (int k = 0; k < CategoryCount; ++k)
        if (Denied(before, k) != Denied(after, k))
            lines.Add(where, field, (Denied(after, k) ? "+ " : "- ") + CategoryName(k));
}

// Each run of hours of one day that changed the same way.
void ScheduleChanges(Lines& lines, const CString& where, const CString& before, const CString& after)
{
    const CString a = ShownSchedule(before), b = ShownSchedule(after);
    for (int day = 0; day < ScheduleDays; ++day) {
        for (int hour = 0, end; hour < ScheduleHoursPerDay; hour = end) {
            const bool was = Operational(a, day, hour), is = Operational(b, day, hour);
            end = hour + 1;
            if (was == is)
                continue;
            while (end < ScheduleHoursPerDay && Operational(a, day, end) == was && Operational(b, day, end) == is)
                ++end;
            CString change;
            change.Format("%s %02d:00-%02d:59: %s%s%s", DayName(day), hour, end - 1, HourWord(was), kArrow,
                          HourWord(is));
            lines.Add(where, "", change);
        }
    }
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
            lines.Add(where, label, NumberText(a) + kArrow + NumberText(b) + (unit.IsEmpty() ? "" : " " + unit));
        }
        break;
    }
    case ReadText:
        lines.Change(where, label, before.Text(s), after.Text(s));
        break;
    case ReadProxyServer: {
        const CString a = before.Text(s), b = after.Text(s);
        lines.Change(where, label, ProxyText(a), ProxyText(b));
        break;
    }
    case ReadMessage: {
        const CString change = MessageChange(before.Text(s), after.Text(s));
        if (!change.IsEmpty())
            lines.Add(where, label, change);
        break;
    }
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

void AddServices(Beach& beach, CStringArray& services)
{
    CStringArray names;
    beach.getServiceNames(names);
    for (int i = 0; i < names.GetSize(); ++i) {
        bool known = false;
        for (int j = 0; j < services.GetSize() && !known; ++j)
            known = services[j] == names[i];
        if (!known)
            services.Add(names[i]);
    }
}

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
