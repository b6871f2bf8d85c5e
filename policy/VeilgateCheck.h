// VeilgateCheck.h - a check of a configuration document without the sheet.
//
// Errors are the values the store refuses when it opens the document (the
// document cannot be edited until they are mended); warnings are values
// that open, but that the sheet would refuse at OK, could not show as
// stored, or would rewrite so that they say something else. The rules are
// the pages' and dialogs' own, called without a window; the check opens
// no window and writes nothing.
#pragma once

#include "afx.h"
#include "afxtempl.h"
#include "VeilgateApi.h"

namespace VgCheck
{
    // Every kind of finding. A kind's id is released with it and never
    // changes: reports and the suppressions of CI systems refer to it.
    enum Rule
    {
        UnreadableFile, MalformedDocument, RefusedValue,
        IdleTimeoutRange, CachingProxy, SafeContentType, UnsafePathPattern,
        ServerPosition, ServerKey, ServerAddress, ServerPort, FilterWithoutServers,
        CategoryMask, ScheduleMask,
        ExceptionNotFromDialog, ExceptionRewritten, ExceptionInBothLists, ExceptionListedTwice,
        RuleCount
    };
}

struct VgRule
{
    LPCTSTR id;           // "VG101"
    LPCTSTR name;         // "IdleTimeoutRange"
    bool error;           // the document cannot be opened for editing
    LPCTSTR description;  // one line
};

struct VgFinding
{
    int line = 0;        // 1-based; 0 when it has no place in the file
    bool error = false;  // false: a warning; as its rule says
    VgCheck::Rule rule = VgCheck::RefusedValue;
    CString text;        // "SERVICE/SECTION/KEY: reason", or a reason alone
};
typedef CArray<VgFinding, const VgFinding&> VgFindingArray;

namespace VgCheck
{
    // Checks the document at path: the store's faults anywhere in it, then
    // the sheet's rules on one service, or with service empty on every
    // service that has a "proxy_http" or "sievex" section. dataFolder holds
    // the MIME type catalogue; safe types are checked against it when it
    // is there. Findings come errors first, then warnings, each in line
    // order. FALSE, with the message, when the document names no such
    // service.
    VG_API BOOL CheckDocument(const CString& path, const CString& service, const CString& dataFolder,
                              VgFindingArray& findings, CString& error);

    // "FILE:LINE: error: text" ("FILE: error: text" without a line); control
    // characters of the text are written as escapes, so a finding stays on
    // its line.
    VG_API CString FormatFinding(const CString& file, const VgFinding& finding);
    // "FILE: no problems", or "FILE: 2 errors, 1 warning".
    VG_API CString Summary(const CString& file, const VgFindingArray& findings);
    // 0 clean, 1 warnings only, 2 an error.
    VG_API int ExitCode(const VgFindingArray& findings);

    VG_API const VgRule& DescribeRule(Rule rule);
}
