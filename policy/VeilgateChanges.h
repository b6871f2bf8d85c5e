// VeilgateChanges.h - what differs between two documents' settings of one
// service, in the words of the sheet.
//
// Every value the module owns is read as its page shows it (VgSettings
// describes which page, which field and how), so that what a person would
// not see differ is no change: a switch stored 7 or 1 is "on", a sorted
// list's order is none, a group that leaves out a mask allows everything.
// Values the module does not own are not compared.
//
// One line per change, "PAGE: FIELD: CHANGE" (a group's page reads
// "PAGE (group NAME)"), in the order of the pages:
//   Settings: Remove cookies: off -> on
//   Settings: Idle timeout: 600 -> 300 seconds
//   Settings: Use Caching Proxy Server: 10.0.0.1:8080 -> off
//   Safe Content: Allow only safe content types: + text/xml
//   Veilgate Controls: Veilgate Servers: - 10.0.0.6:5003
//   Veilgate Controls: Veilgate Servers: 10.0.0.5:5003, 10.0.0.6:5003 -> 10.0.0.6:5003, 10.0.0.5:5003
//   Veilgate Controls: Message for blocked user: line 2: OLD -> NEW (1 line changed)
//   VG: Schedule (group Zeta): Monday 07:00-08:59: non-operational -> operational
//   VG: Operational Privileges (group Zeta): Denied Categories: + Gambling
//   VG: Operational Privileges (group Zeta): Block all outgoing Web access: off -> on
//   Groups: + Zeta
//   Group Zeta: members: + alice
#pragma once

#include "afx.h"
#include "quolla.h"
#include "VeilgateApi.h"

namespace VgChanges
{
    // Appends to lines the changes of the service from before to after. A
    // section or key that a document lacks reads as the sheet shows it then:
    // its default.
    VG_API void Compare(Beach& before, Beach& after, const CString& service, CStringArray& lines);
    // Appends the names of the document's services that services lacks, in
    // the file's order.
    VG_API void AddServices(Beach& beach, CStringArray& services);
}
