// VeilgateMerge.h - one document of two saves of the same document, by what
// their values mean.
//
// From three versions - BASE (what both started from), MINE and THEIRS -
// each value the module owns is merged at the grain a person edits it, as
// the sheet shows it (VgReading): switches, numbers and texts whole; the
// entries of a list whose order is no change one by one; the servers by
// entry, and in the order of the side that alone reordered them; masks by
// category and period; schedules by hour; groups by name, then field by
// field. A value changed on one side takes that side's value; changed on
// both to the same value, that value; changed on both differently, it is
// a conflict, said in the sheet's words:
//   http-proxy: Settings: Idle timeout: 600 -> 300 / 900 seconds
//   http-proxy: Groups: Zeta: removed -> on one side, changed on the other
// What the module does not own is taken whole from the side that changed
// it (THEIRS when neither or both did alike); changed on both sides
// differently, it is a conflict too.
#pragma once

#include "afx.h"
#include "quolla.h"
#include "VeilgateApi.h"

namespace VgMerge
{
    // Merges every service of the three documents into mine or theirs (the
    // one whose values of other tools are kept), and gives its text in
    // merged. False, with one line per conflict, when they conflict; the
    // documents may then be changed.
    VG_API bool Merge(Beach& base, Beach& mine, Beach& theirs, CString& merged, CStringArray& conflicts);

    // The store's merger for a save that another save came before: the
    // three texts opened as the module reads them, then Merge.
    class VG_API SaveMerger : public QuoMerger
    {
    public:
        bool merge(const CString& base, const CString& mine, const CString& theirs, CString& merged) override;

        // After a merge: whether one was written, the conflicts that
        // refused one, and the document as this save alone would have
        // written it.
        bool merged = false;
        CStringArray conflicts;
        CString mineText;
    };
}
