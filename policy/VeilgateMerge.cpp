#include "VeilgateMerge.h"
#include "VeilgateReading.h"
#include "VeilgateChanges.h"
#include <algorithm>
#include <memory>
#include <vector>

namespace VgMerge
{

namespace {

using namespace VgReading;

enum Side { Mine, Theirs, Conflict };

// Changed on one side: that side; on both alike: theirs, the same value.
template <class T>
Side Pick(const T& base, const T& mine, const T& theirs)
{
    if (mine == base || mine == theirs)
        return Theirs;
    return theirs == base ? Mine : Conflict;
}

// "BASE -> MINE / THEIRS"
CString Both(const CString& base, const CString& mine, const CString& theirs)
{
    return base + kArrow + mine + " / " + theirs;
}

// An entry of the merged list: which side's list holds it, and where.
struct Entry
{
    const CStringArray* list;
    int index;
    const CString& Text() const { return (*list)[index]; }
};

// Entry by entry, repeats counted: as many of each as the side that
// changed how many there are holds. In the order of first, then what
// second alone holds, in its order. sameAsFirst: whether that is first
// itself.
std::vector<Entry> MergeEntries(const CStringArray& base, const CStringArray& mine, const CStringArray& theirs,
                                const CStringArray& first, const CStringArray& second, bool* sameAsFirst = NULL)
{
    // How often each entry stands in each list, and how often it has been
    // placed; the views point into the lists' own texts.
    struct Count
    {
        int base = 0, mine = 0, theirs = 0, placed = 0;
    };
    std::unordered_map<std::string_view, Count> counts;
    counts.reserve(std::max(base.GetSize(), std::max(mine.GetSize(), theirs.GetSize())) * 2);
    for (int i = 0; i < base.GetSize(); ++i)
        ++counts[View(base[i])].base;
    for (int i = 0; i < mine.GetSize(); ++i)
        ++counts[View(mine[i])].mine;
    for (int i = 0; i < theirs.GetSize(); ++i)
        ++counts[View(theirs[i])].theirs;
    std::vector<Entry> merged;
    merged.reserve(std::max(mine.GetSize(), theirs.GetSize()));
    for (const CStringArray* list : { &first, &second }) {
        for (int i = 0; i < list->GetSize(); ++i) {
            Count& n = counts[View((*list)[i])];
            const int wanted = n.mine == n.base                          ? n.theirs
                               : n.theirs == n.base || n.theirs == n.mine ? n.mine
                                                                          : std::max(0, n.theirs + n.mine - n.base);
            if (n.placed < wanted) {
                ++n.placed;
                merged.push_back(Entry{ list, i });
            }
        }
    }
    if (sameAsFirst != NULL)
        *sameAsFirst = merged.size() == (size_t)first.GetSize() &&
                       (merged.empty() || merged.back().list == &first);
    return merged;
}

// Whether two lists hold the same entries, as often each.
bool SameEntries(const CStringArray& a, const CStringArray& b)
{
    return a.GetSize() == b.GetSize() && Counts(a) == Counts(b);
}

bool SameOrder(const CStringArray& a, const CStringArray& b)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (int i = 0; i < a.GetSize(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

// The entries of list that other holds too, in list's order.
void Common(const CStringArray& list, const CStringArray& other, CStringArray& common)
{
    ItemCounts counts = Counts(other);
    for (int i = 0; i < list.GetSize(); ++i) {
        auto found = counts.find(View(list[i]));
        if (found != counts.end() && found->second-- > 0)
            common.Add(list[i]);
    }
}

// Whether a side put the entries it kept of base in another order.
bool Reordered(const CStringArray& base, const CStringArray& side)
{
    CStringArray kept, original;
    Common(side, base, kept);
    Common(base, side, original);
    return !SameOrder(kept, original);
}

void Texts(const std::vector<Entry>& entries, CStringArray& texts)
{
    texts.SetSize(0, (int)entries.size());
    for (const Entry& e : entries)
        texts.Add(e.Text());
}

// A group as shown, field by field; base stands for a group added on both
// sides as the sheet shows a group that leaves out every field.
struct GroupMerge
{
    const QuoSievex& base;
    const QuoSievex& mine;
    const QuoSievex& theirs;
    const CString& name;
    Lines& conflicts;

    QuoSievex* Merge()
    {
        std::unique_ptr<QuoSievex> merged(new QuoSievex(theirs));
        for (int f = 0; f < GroupFieldCount; ++f) {
            const GroupField field = (GroupField)f;
            const RecordField& r = DescribeGroupField(field);
            switch (r.reading) {
            case ReadCategoryMask:
                Text(*merged, field) = Mask(GroupText(base, field), GroupText(mine, field), GroupText(theirs, field));
                break;
            case ReadSchedule:
                merged->schedule = Schedule(base.schedule, mine.schedule, theirs.schedule);
                break;
            case ReadSwitch: {
                const bool on = Pick(GroupSwitch(base, field), GroupSwitch(mine, field), GroupSwitch(theirs, field)) ==
                                Mine ? GroupSwitch(mine, field) : GroupSwitch(theirs, field);
                (field == GroupOpBlockAll ? merged->opBlockAll : merged->nonOpBlockAll) = on;
                break;
            }
            case ReadNames: {
                const std::vector<Entry> members =
                    MergeEntries(base.members, mine.members, theirs.members, theirs.members, mine.members);
                merged->members.RemoveAll();
                for (const Entry& e : members)
                    merged->members.Add(e.Text());
                break;
            }
            default: {
                const CString b = GroupText(base, field), m = GroupText(mine, field), t = GroupText(theirs, field);
                const Side side = Pick(b, m, t);
                if (side == Conflict)
                    conflicts.Add("Group " + name, r.name, Both(b, m, t));
                Text(*merged, field) = side == Mine ? m : t;
                break;
            }
            }
        }
        return merged.release();
    }

    static CString& Text(QuoSievex& group, GroupField field)
    {
        return field == GroupOpMask ? group.opMask : field == GroupNonOpMask ? group.nonOpMask
               : field == GroupSchedule ? group.schedule : group.reserved;
    }

    // Category by category; theirs as stored where the merge shows the same.
    static CString Mask(const CString& b, const CString& m, const CString& t)
    {
        CString mask('0', CategoryCount);
        bool asTheirs = true;
        for (int k = 0; k < CategoryCount; ++k) {
            const bool denied = Pick(Denied(b, k), Denied(m, k), Denied(t, k)) == Mine ? Denied(m, k) : Denied(t, k);
            asTheirs = asTheirs && denied == Denied(t, k);
            if (denied)
                mask.SetAt(CategoryPosition(k), '1');
        }
        return asTheirs ? t : mask;
    }

    // Hour by hour; theirs as stored where the merge shows the same.
    static CString Schedule(const CString& b, const CString& m, const CString& t)
    {
        const CString sb = ShownSchedule(b), sm = ShownSchedule(m), st = ShownSchedule(t);
        CString shown('0', ScheduleLength);
        bool asTheirs = true;
        for (int day = 0; day < ScheduleDays; ++day) {
            for (int hour = 0; hour < ScheduleHoursPerDay; ++hour) {
                const bool ob = Operational(sb, day, hour), om = Operational(sm, day, hour),
                           ot = Operational(st, day, hour);
                const bool on = Pick(ob, om, ot) == Mine ? om : ot;
                asTheirs = asTheirs && on == ot;
                if (on)
                    shown.SetAt(SchedulePosition(day, hour), '1');
            }
        }
        return asTheirs ? t : ReversedSchedule(shown);
    }
};

// Whether two groups show the same in every field.
bool SameGroup(const QuoSievex& a, const QuoSievex& b)
{
    for (int f = 0; f < GroupFieldCount; ++f) {
        const GroupField field = (GroupField)f;
        switch (DescribeGroupField(field).reading) {
        case ReadCategoryMask:
            for (int k = 0; k < CategoryCount; ++k)
                if (Denied(GroupText(a, field), k) != Denied(GroupText(b, field), k))
                    return false;
            break;
        case ReadSchedule:
            if (ShownSchedule(a.schedule) != ShownSchedule(b.schedule))
                return false;
            break;
        case ReadSwitch:
            if (GroupSwitch(a, field) != GroupSwitch(b, field))
                return false;
            break;
        case ReadNames:
            if (!SameEntries(a.members, b.members))
                return false;
            break;
        default:
            if (GroupText(a, field) != GroupText(b, field))
                return false;
            break;
        }
    }
    return true;
}

// One service of the three documents, merged into the side whose values of
// other tools are kept (the carrier).
class ServiceMerge
{
public:
    ServiceMerge(Beach& base, Beach& mine, Beach& theirs, const CString& service, Side carrier, const Words& words,
                 Lines& conflicts)
        : m_base(base, service), m_mine(mine, service), m_theirs(theirs, service), m_carrier(carrier),
          m_words(words), m_conflicts(conflicts)
    {
    }

    void Run()
    {
        for (int k = 0; k < KeyCount; ++k)
            MergeKey(Describe((Key)k));
    }

private:
    Service m_base, m_mine, m_theirs;
    Side m_carrier;
    const Words& m_words;
    Lines& m_conflicts;

    Service& Into() { return m_carrier == Mine ? m_mine : m_theirs; }

    // Writes the merged value into the carrier; a conflict when its
    // document lacks the section.
    void Set(const Setting& s, const QuoVal& value)
    {
        Quolla* section = Into().Section(s);
        if (section == NULL || !section->setProp(s.key, value))
            m_conflicts.Add(m_words.Where(s.page), Label(s),
                            CString("cannot be kept: the section \"") + s.section + "\" is gone");
    }

    void MergeKey(const Setting& s)
    {
        switch (s.reading) {
        case ReadSwitch:
        case ReadNumber: {
            const int b = m_base.Number(s), m = m_mine.Number(s), t = m_theirs.Number(s);
            const CString unit = s.reading == ReadNumber ? ControlUnit(s.page, s.field) : CString();
            const CString conflict =
                Both(NumberText(b), NumberText(m), NumberText(t)) + (unit.IsEmpty() ? "" : " ") + unit;
            if (s.reading == ReadSwitch)
                Scalar(s, b != 0, m != 0, t != 0, QuoValOf<int>(m), QuoValOf<int>(t), conflict);
            else
                Scalar(s, b, m, t, QuoValOf<int>(m), QuoValOf<int>(t), conflict);
            break;
        }
        case ReadText:
        case ReadProxyServer: {
            const CString b = m_base.Text(s), m = m_mine.Text(s), t = m_theirs.Text(s);
            const CString conflict =
                s.reading == ReadText ? Both(b, m, t) : Both(ProxyText(b), ProxyText(m), ProxyText(t));
            Scalar(s, b, m, t, QuoValOf<CString>(m), QuoValOf<CString>(t), conflict);
            break;
        }
        case ReadMessage: {
            const CString b = m_base.Text(s), m = m_mine.Text(s), t = m_theirs.Text(s);
            Scalar(s, DisplayMessage(b), DisplayMessage(m), DisplayMessage(t), QuoValOf<CString>(m),
                   QuoValOf<CString>(t), MessageChange(b, m) + " / " + MessageChange(b, t));
            break;
        }
        case ReadEntryLines:
        case ReadEntries:
            Entries(s);
            break;
        case ReadServers:
            Servers(s);
            break;
        case ReadGroups:
            Groups(s);
            break;
        default:
            break;
        }
    }

    // One value: the side that changed it, written into the carrier when
    // that is the other side and it shows otherwise there.
    template <class Shown>
    void Scalar(const Setting& s, const Shown& b, const Shown& m, const Shown& t, const QuoVal& mine,
                const QuoVal& theirs, const CString& conflict)
    {
        const Side side = Pick(b, m, t);
        if (side == Conflict)
            m_conflicts.Add(m_words.Where(s.page), Label(s), conflict);
        else if (side != m_carrier && !(m == t))
            Set(s, side == Mine ? mine : theirs);
    }

    void Entries(const Setting& s)
    {
        CStringArray b, m, t;
        ListEntries(m_base, s, b);
        ListEntries(m_mine, s, m);
        ListEntries(m_theirs, s, t);
        const CStringArray& into = m_carrier == Mine ? m : t;
        bool same = false;
        CStringArray merged;
        Texts(MergeEntries(b, m, t, into, m_carrier == Mine ? t : m, &same), merged);
        if (same)
            return;
        if (s.reading == ReadEntryLines) {
            Set(s, QuoValOf<CString>(Joined(merged, "\n")));
        } else {
            CStringList list;
            for (int i = 0; i < merged.GetSize(); ++i)
                list.AddTail(merged[i]);
            Set(s, QuoValOf<CStringList*>(&list));
        }
    }

    // By entry ("address:port"), in the order of the side that alone
    // reordered what it kept; both reordering what they share differently
    // is a conflict.
    void Servers(const Setting& s)
    {
        CStringArray b, m, t;
        QuoValOf<QuoVGServerIpMap> mineMap, theirsMap;
        std::vector<const QuoVGServerIp*> mineServers, theirsServers;
        ListEntries(m_base, s, b);
        ListEntries(m_mine, s, m, &mineMap, &mineServers);
        ListEntries(m_theirs, s, t, &theirsMap, &theirsServers);
        const bool mineMoved = Reordered(b, m), theirsMoved = Reordered(b, t);
        const std::vector<Entry> merged = mineMoved && !theirsMoved ? MergeEntries(b, m, t, m, t)
                                                                    : MergeEntries(b, m, t, t, m);
        CStringArray texts, mineOrder, theirsOrder;
        Texts(merged, texts);
        if (mineMoved && theirsMoved) {
            Common(m, t, mineOrder);
            Common(t, m, theirsOrder);
        }
        if (!SameOrder(mineOrder, theirsOrder)) {
            m_conflicts.Add(m_words.Where(s.page), Label(s), Both(Joined(b, ", "), Joined(m, ", "), Joined(t, ", ")));
            return;
        }
        if (SameOrder(texts, m_carrier == Mine ? m : t))
            return;
        QuoValOf<QuoVGServerIpMap> map;
        for (int i = 0; i < (int)merged.size(); ++i) {
            const QuoVGServerIp* from = merged[i].list == &m ? mineServers[merged[i].index]
                                                             : theirsServers[merged[i].index];
            CString key;
            key.Format("%02d", i);
            map.value.SetAt(key, new QuoVGServerIp(from->address, from->port, i));
        }
        Set(s, map);
    }

    // By name, then field by field. A group removed on one side stays
    // removed unless the other side changed it: a conflict then.
    void Groups(const Setting& s)
    {
        QuoValOf<QuoSievexMap> b, m, t;
        m_base.Get(s, b);
        m_mine.Get(s, m);
        m_theirs.Get(s, t);
        const QuoSievexMap& into = (m_carrier == Mine ? m : t).value;
        const QuoSievexMap& other = (m_carrier == Mine ? t : m).value;
        const QuoSievex empty;
        QuoValOf<QuoSievexMap> merged;
        bool changed = false;
        for (const QuoSievexMap* names : { &into, &other }) {
            CString name;
            QuoSievex* unused;
            for (POSITION pos = names->GetStartPosition(); pos != NULL;) {
                names->GetNextAssoc(pos, name, unused);
                QuoSievex *pBase = NULL, *pMine = NULL, *pTheirs = NULL, *pInto = NULL;
                if (merged.value.Lookup(name, unused))
                    continue;
                b.value.Lookup(name, pBase);
                m.value.Lookup(name, pMine);
                t.value.Lookup(name, pTheirs);
                into.Lookup(name, pInto);
                QuoSievex* result = NULL;
                if (pMine != NULL && pTheirs != NULL) {
                    GroupMerge group{ pBase != NULL ? *pBase : empty, *pMine, *pTheirs, name, m_conflicts };
                    result = group.Merge();
                } else if (pBase == NULL) {
                    result = new QuoSievex(pMine != NULL ? *pMine : *pTheirs);
                } else if (!SameGroup(*pBase, pMine != NULL ? *pMine : *pTheirs)) {
                    m_conflicts.Add("Groups", name, pMine != NULL ? "removed in theirs, changed in mine"
                                                                  : "removed in mine, changed in theirs");
                }
                if (result != NULL) {
                    changed = changed || pInto == NULL || !SameGroup(*result, *pInto);
                    merged.value.SetAt(name, result);
                }
            }
        }
        if (changed || merged.value.GetCount() != into.GetCount())
            Set(s, merged);
    }
};

} // namespace

bool Merge(Beach& base, Beach& mine, Beach& theirs, CString& merged, CStringArray& conflicts)
{
    const CString foreignBase = base.foreignText(), foreignMine = mine.foreignText(),
                  foreignTheirs = theirs.foreignText();
    const Side carrier = Pick(foreignBase, foreignMine, foreignTheirs);
    if (carrier == Conflict) {
        conflicts.Add("Values of other tools: changed in mine and in theirs");
        return false;
    }
    CStringArray services;
    VgChanges::AddServices(theirs, services);
    VgChanges::AddServices(mine, services);
    VgChanges::AddServices(base, services);
    const Words words;
    for (int i = 0; i < services.GetSize(); ++i) {
        CStringArray lines;
        Lines out(lines);
        ServiceMerge(base, mine, theirs, services[i], carrier, words, out).Run();
        for (int j = 0; j < lines.GetSize(); ++j)
            conflicts.Add(services[i] + ": " + lines[j]);
    }
    if (conflicts.GetSize() > 0)
        return false;
    merged = (carrier == Mine ? mine : theirs).text();
    return true;
}

bool SaveMerger::merge(const CString& base, const CString& mine, const CString& theirs, CString& result)
{
    merged = false;
    conflicts.RemoveAll();
    mineText = mine;
    Beach b, m, t;
    CString error;
    if (!b.openText(base, "BASE", error, VgSettings::StoreSchema()) ||
        !m.openText(mine, "MINE", error, VgSettings::StoreSchema()) ||
        !t.openText(theirs, "THEIRS", error, VgSettings::StoreSchema())) {
        conflicts.Add("cannot merge with the other save: " + error);
        return false;
    }
    merged = Merge(b, m, t, result, conflicts);
    return merged;
}

} // namespace VgMerge
