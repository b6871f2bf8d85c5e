// console.exe --check [--service NAME] [--data-folder DIR] [--format gnu|sarif|gitlab] FILE...
//
// Checks documents as the store and the sheet would, all in this one
// process, and reports on stdout in one of three forms: GNU diagnostics, one
// line a problem and a summary line a document (gnu); one SARIF 2.1.0 log
// with one run (sarif); one array of GitLab's Code Quality report (gitlab).
// Opens no window and writes nothing. Exit code: the worst of the documents
// (0 no problems, 1 warnings only, 2 an error), or 2 for a usage error.
#include "ConsoleModes.h"
#include "ConsoleSupport.h"
#include "VeilgateCheck.h"
#include "JsonValue.h"
#include <wincrypt.h>
#include <ctype.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <memory>
#include <new>
#include <set>

#ifndef VG_VERSION
#define VG_VERSION "0.0.0"
#endif

namespace {

const char kToolName[] = "veilgate-check";

struct Checked
{
    CString path;  // as given
    VgFindingArray findings;
};
typedef std::vector<std::unique_ptr<Checked>> CheckedList;

std::string Utf8(const CString& text)
{
    return Utf8Of(std::string((LPCTSTR)text, text.GetLength()));
}

std::string ForwardSlashes(const CString& path)
{
    std::string text = Utf8(path);
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

// The path as a URI reference: a relative path stays relative, a drive's
// path becomes file:///C:/..., a share's file://server/...; every byte but
// the unreserved ones, "/" and the sub-delimiters is escaped, the colon too,
// so that no first part reads as a scheme.
std::string UriOf(const CString& path)
{
    std::string rest = ForwardSlashes(path), uri;
    const bool drive = rest.size() >= 3 && isalpha((unsigned char)rest[0]) && rest[1] == ':' && rest[2] == '/';
    if (drive) {
        uri = "file:///" + rest.substr(0, 2);
        rest.erase(0, 2);
    } else if (rest.compare(0, 2, "//") == 0) {
        uri = "file:";
    }
    for (unsigned char ch : rest) {
        if (isalnum(ch) || strchr("-._~/!$&'()*+,;=@", ch) != NULL) {
            uri += (char)ch;
        } else {
            char escape[4];
            snprintf(escape, sizeof escape, "%%%02X", ch);
            uri += escape;
        }
    }
    return uri;
}

// MD5 of the bytes in hexadecimal, as GitLab's own analysers make their
// fingerprints.
class Md5
{
public:
    Md5() { m_ok = CryptAcquireContextA(&m_provider, NULL, NULL, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) != FALSE; }
    ~Md5()
    {
        if (m_ok)
            CryptReleaseContext(m_provider, 0);
    }
    std::string Hex(const std::string& bytes) const
    {
        BYTE digest[16] = {};
        DWORD size = sizeof digest;
        HCRYPTHASH hash;
        if (m_ok && CryptCreateHash(m_provider, CALG_MD5, 0, 0, &hash)) {
            CryptHashData(hash, (const BYTE*)bytes.data(), (DWORD)bytes.size(), 0);
            CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0);
            CryptDestroyHash(hash);
        }
        std::string hex;
        for (BYTE b : digest) {
            char two[3];
            snprintf(two, sizeof two, "%02x", b);
            hex += two;
        }
        return hex;
    }

private:
    HCRYPTPROV m_provider = 0;
    bool m_ok = false;
};

json::Value Text(const std::string& utf8)
{
    return json::Value::makeString(utf8);
}

json::Value Object(std::initializer_list<std::pair<const char*, json::Value>> members)
{
    json::Value object = json::Value::makeObject();
    for (const auto& member : members)
        object.set(member.first, member.second);
    return object;
}

std::string Sarif(const CheckedList& documents)
{
    json::Value rules = json::Value::makeArray();
    for (int r = 0; r < VgCheck::RuleCount; ++r) {
        const VgRule& rule = VgCheck::DescribeRule((VgCheck::Rule)r);
        rules.append(Object({ { "id", Text(rule.id) },
                              { "name", Text(rule.name) },
                              { "shortDescription", Object({ { "text", Text(rule.description) } }) },
                              { "defaultConfiguration",
                                Object({ { "level", Text(rule.error ? "error" : "warning") } }) } }));
    }
    json::Value results = json::Value::makeArray();
    for (const auto& document : documents) {
        const std::string uri = UriOf(document->path);
        for (int i = 0; i < document->findings.GetSize(); ++i) {
            const VgFinding& finding = document->findings[i];
            json::Value location = Object({ { "artifactLocation", Object({ { "uri", Text(uri) } }) } });
            if (finding.line > 0)
                location.set("region", Object({ { "startLine", json::Value::makeInt(finding.line) } }));
            json::Value locations = json::Value::makeArray();
            locations.append(Object({ { "physicalLocation", location } }));
            results.append(Object({ { "ruleId", Text(VgCheck::DescribeRule(finding.rule).id) },
                                    { "ruleIndex", json::Value::makeInt(finding.rule) },
                                    { "level", Text(finding.error ? "error" : "warning") },
                                    { "message", Object({ { "text", Text(Utf8(finding.text)) } }) },
                                    { "locations", locations } }));
        }
    }
    json::Value driver = Object({ { "name", Text(kToolName) }, { "version", Text(VG_VERSION) }, { "rules", rules } });
    json::Value runs = json::Value::makeArray();
    runs.append(Object({ { "tool", Object({ { "driver", driver } }) }, { "results", results } }));
    return json::write(Object({ { "$schema", Text("https://json.schemastore.org/sarif-2.1.0.json") },
                                { "version", Text("2.1.0") },
                                { "runs", runs } }));
}

// A finding's fingerprint hashes the document's path, the rule and the
// text, which names the value but not its line; the same finding again in
// one document counts its repeats, so that each stays one of its own.
std::string GitLab(const CheckedList& documents)
{
    const Md5 md5;
    std::set<std::string> seen;
    json::Value issues = json::Value::makeArray();
    for (const auto& document : documents) {
        const std::string path = ForwardSlashes(document->path);
        for (int i = 0; i < document->findings.GetSize(); ++i) {
            const VgFinding& finding = document->findings[i];
            const std::string id = VgCheck::DescribeRule(finding.rule).id, text = Utf8(finding.text);
            std::string identity = path + "\n" + id + "\n" + text;
            for (int repeat = 2; !seen.insert(identity).second; ++repeat)
                identity = path + "\n" + id + "\n" + text + "\n" + std::to_string(repeat);
            json::Value lines = Object({ { "begin", json::Value::makeInt(std::max(finding.line, 1)) } });
            issues.append(Object({ { "description", Text(text) },
                                   { "check_name", Text(id) },
                                   { "fingerprint", Text(md5.Hex(identity)) },
                                   { "severity", Text(finding.error ? "major" : "minor") },
                                   { "location", Object({ { "path", Text(path) }, { "lines", lines } }) } }));
        }
    }
    return json::write(issues);
}

std::string Gnu(const Checked& document)
{
    std::string out;
    for (int i = 0; i < document.findings.GetSize(); ++i)
        out += std::string((LPCTSTR)VgCheck::FormatFinding(document.path, document.findings[i])) + "\n";
    return out + std::string((LPCTSTR)VgCheck::Summary(document.path, document.findings)) + "\n";
}

} // namespace

int CheckMode(const std::vector<std::string>& args)
{
    CString service, dataFolder, format = "gnu";
    std::vector<CString> paths;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--check")
            continue;
        if (arg.compare(0, 2, "--") != 0) {
            paths.push_back(arg.c_str());
            continue;
        }
        CString document;
        CString* value = arg == "--document" ? &document
                         : arg == "--service" ? &service
                         : arg == "--data-folder" ? &dataFolder
                         : arg == "--format" ? &format
                         : NULL;
        if (value == NULL)
            return Usage("unexpected argument \"" + arg + "\" with --check");
        if (i + 1 == args.size())
            return Usage(arg + " needs a value");
        if (args[++i].empty())
            return Usage(arg + " needs a value; an empty one was given");
        *value = args[i].c_str();
        if (value == &document)
            paths.push_back(document);
    }
    if (paths.empty())
        return Usage("--check needs a document: --document FILE or FILE...");
    if (format != "gnu" && format != "sarif" && format != "gitlab")
        return Usage("--format takes gnu, sarif or gitlab, not \"" + std::string(format) + "\"");

    // A document that cannot be read is a finding of its own; one without
    // the service asked for is said on stderr. Either way the others are
    // checked.
    CheckedList documents;
    int code = 0;
    for (const CString& path : paths) {
        std::unique_ptr<Checked> document(new Checked);
        document->path = path;
        CString error;
        try {
            if (!VgCheck::CheckDocument(path, service, dataFolder.IsEmpty() ? FolderOf(path) : dataFolder,
                                        document->findings, error)) {
                code = Fail((LPCTSTR)error);
                continue;
            }
        } catch (const std::bad_alloc&) {
            code = Fail(std::string((LPCTSTR)path) + ": out of memory while checking it");
            continue;
        }
        code = std::max(code, VgCheck::ExitCode(document->findings));
        if (format == "gnu")
            Print(Gnu(*document));  // as each is done: a long run shows its progress
        else
            documents.push_back(std::move(document));
    }
    if (format == "sarif")
        Print(Sarif(documents));
    else if (format == "gitlab")
        Print(GitLab(documents));
    return code;
}
