#include "VeilgateCheck.h"
#include "VeilgateSettings.h"
#include "VeilgateControlPage.h"
#include "VeilgateServerIpDialog.h"
#include "VeilgateExceptionDialog.h"
#include "VeilgateExPage.h"
#include "ProxySettingsPage.h"
#include "SafeContentPage.h"
#include "MimeCatalogue.h"
#include "quolla.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace VgSettings;

namespace {

const char kLineFeed[] = "\n";

CString Message(UINT nID)
{
    CString text;
    text.LoadString(nID);
    return text;
}

CString Quoted(const CString& text)
{
    return "\"" + text + "\"";
}

bool Exists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The sheet's rules on one service of a document opened for a check.
class ServiceCheck
{
public:
    ServiceCheck(Beach& beach, const CString& service, const CString& dataFolder, VgFindingArray& findings)
        : m_beach(beach), m_service(service), m_dataFolder(dataFolder), m_findings(findings)
    {
    }

    void Run()
    {
        Quolla* proxy = m_beach.digQuolla(kProxySection, m_service);
        if (proxy != NULL) {
            CheckProxy(*proxy);
            m_beach.tossQuolla(proxy);
        }
        Quolla* filter = m_beach.digQuolla(kFilterSection, m_service);
        if (filter != NULL) {
            CheckFilter(*filter);
            m_beach.tossQuolla(filter);
        }
    }

private:
    Beach& m_beach;
    CString m_service;
    CString m_dataFolder;
    VgFindingArray& m_findings;
    // Lines of the records of a map, or of one field of each, by "key/field".
    std::map<std::string, std::unique_ptr<CArray<int, int>>> m_recordLines;

    void Warn(VgCheck::Rule rule, int line, Key key, const CString& text)
    {
        VgFinding finding;
        finding.rule = rule;
        finding.line = line;
        finding.text = m_service + "/" + Describe(key).section + "/" + KeyName(key) + ": " + text;
        finding.text.TrimRight();  // some of the sheet's messages end in a blank
        m_findings.Add(finding);
    }

    int LineOf(Key key, int item = -1)
    {
        return m_beach.lineOf(m_service, Describe(key).section, KeyName(key), NULL, NULL, item);
    }

    int RecordLine(Key key, int index, LPCTSTR field)
    {
        std::unique_ptr<CArray<int, int>>& lines = m_recordLines[std::string(KeyName(key)) + "/" + (field ? field : "")];
        if (!lines) {
            lines.reset(new CArray<int, int>);
            m_beach.recordLines(m_service, Describe(key).section, KeyName(key), field, *lines);
        }
        return index < lines->GetSize() ? (*lines)[index] : 0;
    }

    // A key that stands in the file but does not read: the store has
    // reported it, and what depends on it is not judged.
    bool Faulty(Key key, bool found) { return !found && LineOf(key) != 0; }

    template <class T>
    bool Read(Quolla& section, Key key, QuoValOf<T>& value)
    {
        return section.getProp(KeyName(key), value);
    }

    void CheckProxy(Quolla& section)
    {
        QuoValOf<int> idle;
        CString reason;
        if (Read(section, IdleTimeout, idle) && !CheckNumber(Describe(IdleTimeout), idle.value, reason)) {
            CString value;
            value.Format("%d", idle.value);
            Warn(VgCheck::IdleTimeoutRange, LineOf(IdleTimeout), IdleTimeout, value + ": " + reason);
        }

        QuoValOf<CString> server;
        if (Read(section, ProxyServer, server)) {
            UINT refusal = ProxySettingsPage::CheckStoredProxyServer(server.value);
            if (refusal != 0)
                Warn(VgCheck::CachingProxy, LineOf(ProxyServer), ProxyServer,
                     Quoted(server.value) + ": " + Message(refusal));
        }

        QuoValOf<CString> safeTypes;
        const bool hasCatalogue = Exists(MimeCataloguePath(m_dataFolder)) || Exists(UserMimeCataloguePath(m_dataFolder));
        if (hasCatalogue && Read(section, SafeContent, safeTypes)) {
            MimeCatalogue catalogue;
            LoadMimeCatalogue(m_dataFolder, catalogue);
            CStringArray types;
            ParseListText(safeTypes.value, kLineFeed, types);
            for (int i = 0; i < types.GetSize(); ++i)
                if (FindMimeType(catalogue, types[i]) == NULL)
                    Warn(VgCheck::SafeContentType, LineOf(SafeContent), SafeContent,
                         Quoted(types[i]) + ": not a type of the MIME type catalogue in " + m_dataFolder);
        }

        QuoValOf<CString> patterns;
        if (Read(section, UnsafePatterns, patterns))
            CheckPatterns(patterns.value);
    }

    // Each line that yields a pattern, as it stands, against the rule the
    // page applies to a typed one: a line the page would show cut (a number
    // sign starts a remark) or could not have stored is reported.
    void CheckPatterns(const CString& stored)
    {
        for (int from = 0; from < stored.GetLength();) {
            int end = stored.Find('\n', from);
            if (end < 0)
                end = stored.GetLength();
            const CString line = stored.Mid(from, end - from);
            from = end + 1;
            CStringArray shown;
            ParseListText(line, kLineFeed, shown);
            UINT refusal = shown.GetSize() == 0 ? 0 : CheckPattern(line);
            if (refusal != 0)
                Warn(VgCheck::UnsafePathPattern, LineOf(UnsafePatterns), UnsafePatterns,
                     Quoted(line) + ": " + Message(refusal));
        }
    }

    void CheckFilter(Quolla& section)
    {
        QuoValOf<QuoVGServerIpMap> servers;
        const bool hasServers = Read(section, Servers, servers);
        if (hasServers)
            CheckServers(servers.value);

        QuoValOf<int> activate;
        if (Read(section, Activate, activate) && !Faulty(Servers, hasServers)) {
            UINT refusal = VeilgateControlPage::CheckActivation(activate.value, servers.value.GetCount());
            if (refusal != 0)
                Warn(VgCheck::FilterWithoutServers, LineOf(Activate), Activate, Message(refusal));
        }

        QuoValOf<QuoSievexMap> groups;
        if (Read(section, Rules, groups))
            CheckGroups(groups.value);

        CStringList allowed, denied;
        QuoValOf<CStringList*> allowedHolder(&allowed), deniedHolder(&denied);
        Read(section, UrlsAllow, allowedHolder);
        Read(section, UrlsDeny, deniedHolder);
        // The denied list is held against the allowed one as it stands,
        // which the allowed list's check has indexed already.
        const CStringList none;
        ExceptionList::Batch batch(none, none);
        CheckExceptions(UrlsAllow, allowed, batch);
        batch.TurnToOtherList();
        CheckExceptions(UrlsDeny, denied, batch);
    }

    // Each entry as the definition dialog would have written it, and as the
    // exceptions page would add it after the entries before it: an entry
    // of the other list (only the denied list is held against the allowed
    // one, so that a pair is reported once) or one already listed is
    // refused with the page's own message.
    void CheckExceptions(Key key, const CStringList& entries, ExceptionList::Batch& batch)
    {
        const int denySide = key == UrlsDeny ? 1 : 0;
        batch.Reserve(entries.GetCount());
        POSITION pos = entries.GetHeadPosition();
        for (int i = 0; pos != NULL; ++i) {
            const CString& line = entries.GetNext(pos);
            if (!ExceptionText::IsWrittenAsTheDialogWrites(line))
                CheckEntry(key, i, line);
            const ExceptionList::Batch::Outcome outcome = batch.Add(line);
            if (outcome != ExceptionList::Batch::InOtherList && outcome != ExceptionList::Batch::AlreadyListed)
                continue;
            CStringArray one;
            one.Add(line);
            if (outcome == ExceptionList::Batch::InOtherList)
                Warn(VgCheck::ExceptionInBothLists, LineOf(key, i), key,
                     ExceptionList::OtherListMessage(denySide, one));
            else
                Warn(VgCheck::ExceptionListedTwice, LineOf(key, i), key, ExceptionList::AlreadyListedMessage(one));
        }
    }

    // An entry the definition dialog would not have written as it stands.
    void CheckEntry(Key key, int i, const CString& line)
    {
        CString written, message;
        if (!ExceptionText::ParseEntry(line, written, message))
            Warn(VgCheck::ExceptionNotFromDialog, LineOf(key, i), key, Quoted(line) + ": " + message);
        else if (written != line)
            Warn(VgCheck::ExceptionRewritten, LineOf(key, i), key,
                 Quoted(line) + ": the exception definition dialog writes it " + Quoted(written));
    }

    // The page lists the servers by position and stores row i under the
    // key "%02d" of i with position i.
    void CheckServers(const QuoVGServerIpMap& servers)
    {
        const int count = servers.GetCount();
        const RecordField& address = DescribeServerField(ServerAddress);
        const RecordField& port = DescribeServerField(ServerPort);
        const RecordField& position = DescribeServerField(ServerPosition);
        std::map<int, CString> keyOfPosition;
        POSITION pos = servers.GetStartPosition();
        for (int i = 0; pos != NULL; ++i) {
            CString key;
            QuoVGServerIp* server;
            servers.GetNextAssoc(pos, key, server);
            auto where = [&key] { return "server " + Quoted(key) + ": "; };
            CString reason;

            if (server->position < 0 || server->position >= count) {
                reason.Format("%s %d: the positions of %d servers run from 0 to %d without gaps", position.name,
                              server->position, count, count - 1);
                Warn(VgCheck::ServerPosition, RecordLine(Servers, i, position.name), Servers, where() + reason);
            } else if (keyOfPosition.count(server->position)) {
                reason.Format("%s %d is also the position of server \"%s\"", position.name, server->position,
                              (LPCTSTR)keyOfPosition[server->position]);
                Warn(VgCheck::ServerPosition, RecordLine(Servers, i, position.name), Servers, where() + reason);
            } else {
                keyOfPosition[server->position] = key;
                const CString expected = VeilgateControlPage::ServerKey(server->position);
                if (key != expected)
                    Warn(VgCheck::ServerKey, RecordLine(Servers, i, NULL), Servers,
                         where() + "the key of a server is its position printed \"%02d\": " + Quoted(expected));
            }

            UINT refusal = VeilgateServerIpDialog::CheckAddress(server->address);
            if (refusal != 0)
                Warn(VgCheck::ServerAddress, RecordLine(Servers, i, address.name), Servers,
                     where() + address.name + " " + Quoted(server->address) + ": " + Message(refusal));
            if (!CheckNumber(port, server->port, reason)) {
                CString value;
                value.Format("%s %d: ", port.name, server->port);
                Warn(VgCheck::ServerPort, RecordLine(Servers, i, port.name), Servers, where() + value + reason);
            }
        }
    }

    void CheckGroups(const QuoSievexMap& groups)
    {
        struct MaskField
        {
            GroupField field;
            CString QuoSievex::*mask;
            bool (*check)(const CString&, CString&);
            VgCheck::Rule rule;
        };
        static const MaskField kMasks[] = {
            { GroupOpMask, &QuoSievex::opMask, CheckCategoryMask, VgCheck::CategoryMask },
            { GroupSchedule, &QuoSievex::schedule, CheckSchedule, VgCheck::ScheduleMask },
            { GroupNonOpMask, &QuoSievex::nonOpMask, CheckCategoryMask, VgCheck::CategoryMask },
        };
        POSITION pos = groups.GetStartPosition();
        for (int i = 0; pos != NULL; ++i) {
            CString name, reason;
            QuoSievex* group;
            groups.GetNextAssoc(pos, name, group);
            for (const MaskField& m : kMasks) {
                LPCTSTR field = DescribeGroupField(m.field).name;
                if (!m.check(group->*m.mask, reason))
                    Warn(m.rule, RecordLine(Rules, i, field), Rules,
                         "group " + Quoted(name) + ": " + field + " " + reason);
            }
        }
    }
};

VgFinding StoreFault(const QuoFault& fault)
{
    VgFinding finding;
    finding.line = fault.line;
    finding.error = true;
    finding.rule = fault.key.IsEmpty() ? VgCheck::MalformedDocument : VgCheck::RefusedValue;
    finding.text = fault.key.IsEmpty() ? fault.message
                                       : fault.service + "/" + fault.section + "/" + fault.key + ": " + fault.what;
    return finding;
}

} // namespace

BOOL VgCheck::CheckDocument(const CString& path, const CString& service, const CString& dataFolder,
                            VgFindingArray& findings, CString& error)
{
    findings.RemoveAll();
    error.Empty();
    Beach beach;
    QuoFaultArray faults;
    CString refusal;
    const bool readable = beach.inspect(path, refusal, StoreSchema(), faults);
    for (int i = 0; i < faults.GetSize(); ++i)
        findings.Add(StoreFault(faults[i]));
    if (!readable && faults.GetSize() == 0) {
        // Nothing of it could be read and no line is to blame: the file
        // itself (missing, a folder, too large).
        VgFinding finding;
        finding.error = true;
        finding.rule = VgCheck::UnreadableFile;
        finding.text = refusal.Find(path + ": ") == 0 ? refusal.Mid(path.GetLength() + 2) : refusal;
        findings.Add(finding);
    }

    if (readable) {
        CStringArray services;
        if (service.IsEmpty()) {
            beach.getServiceNames(services);
        } else if (beach.hasService(service)) {
            services.Add(service);
        } else {
            error = "there is no service " + Quoted(service) + " in " + path;
            return FALSE;
        }
        for (int i = 0; i < services.GetSize(); ++i)
            ServiceCheck(beach, services[i], dataFolder, findings).Run();
    }

    std::vector<VgFinding> sorted;
    sorted.reserve(findings.GetSize());
    for (int i = 0; i < findings.GetSize(); ++i)
        sorted.push_back(findings[i]);
    std::stable_sort(sorted.begin(), sorted.end(), [](const VgFinding& a, const VgFinding& b) {
        return a.error != b.error ? a.error : a.line < b.line;
    });
    findings.RemoveAll();
    for (const VgFinding& f : sorted)
        findings.Add(f);
    return TRUE;
}

CString VgCheck::FormatFinding(const CString& file, const VgFinding& finding)
{
    CString text;
    for (int i = 0; i < finding.text.GetLength(); ++i) {
        const unsigned char ch = (unsigned char)finding.text[i];
        if (ch == '\n')
            text += "\\n";
        else if (ch == '\r')
            text += "\\r";
        else if (ch == '\t')
            text += "\\t";
        else if (ch < 0x20 || ch == 0x7F) {
            CString escape;
            escape.Format("\\u%04x", ch);
            text += escape;
        } else {
            text += (TCHAR)ch;
        }
    }
    CString place = file;
    if (finding.line > 0) {
        CString line;
        line.Format(":%d", finding.line);
        place += line;
    }
    return place + (finding.error ? ": error: " : ": warning: ") + text;
}

CString VgCheck::Summary(const CString& file, const VgFindingArray& findings)
{
    int errors = 0;
    for (int i = 0; i < findings.GetSize(); ++i)
        errors += findings[i].error ? 1 : 0;
    const int warnings = findings.GetSize() - errors;
    if (findings.GetSize() == 0)
        return file + ": no problems";
    CString summary;
    summary.Format("%s: %d error%s, %d warning%s", (LPCTSTR)file, errors, errors == 1 ? "" : "s", warnings,
                   warnings == 1 ? "" : "s");
    return summary;
}

int VgCheck::ExitCode(const VgFindingArray& findings)
{
    int code = 0;
    for (int i = 0; i < findings.GetSize(); ++i)
        code = std::max(code, findings[i].error ? 2 : 1);
    return code;
}

const VgRule& VgCheck::DescribeRule(Rule rule)
{
    static const VgRule kRules[RuleCount] = {
        { "VG001", "UnreadableFile", true, "The file cannot be read: it is missing, a folder, or too large." },
        { "VG002", "MalformedDocument", true,
          "The text is not JSON, or not a document of services made of sections." },
        { "VG003", "RefusedValue", true,
          "A value refused when the document is opened: of the wrong shape or out of range, holding U+0000 or a "
          "character the code page cannot hold, a key named twice, a deny message too long." },
        { "VG101", "IdleTimeoutRange", false, "The idle timeout is not an integer between 0 and 1000." },
        { "VG102", "CachingProxy", false, "A caching proxy server the Settings page refuses." },
        { "VG103", "SafeContentType", false, "A safe content type that the MIME type catalogue does not have." },
        { "VG104", "UnsafePathPattern", false, "An unsafe path pattern the Safe Content page refuses." },
        { "VG201", "ServerPosition", false,
          "The positions of the Veilgate servers do not run from 0 to n-1 without gaps or repeats." },
        { "VG202", "ServerKey", false, "The key of a Veilgate server is not its position printed \"%02d\"." },
        { "VG203", "ServerAddress", false, "A Veilgate server address the server dialog refuses." },
        { "VG204", "ServerPort", false, "A Veilgate server port outside 0 to 65535." },
        { "VG205", "FilterWithoutServers", false, "Veilgate is activated but has no server." },
        { "VG301", "CategoryMask", false, "A group's category mask is not 40 characters of \"0\" and \"1\"." },
        { "VG302", "ScheduleMask", false, "A group's schedule is not 168 characters of \"0\" and \"1\"." },
        { "VG401", "ExceptionNotFromDialog", false, "An exception the exception definition dialog refuses." },
        { "VG402", "ExceptionRewritten", false,
          "An exception the exception definition dialog writes differently." },
        { "VG403", "ExceptionInBothLists", false,
          "An exception that stands in both the allowed and the denied exceptions list." },
        { "VG404", "ExceptionListedTwice", false, "These exceptions are already listed." },
    };
    return kRules[rule];
}
