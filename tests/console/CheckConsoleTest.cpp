// console.exe --check end to end: the report on stdout in each format, the
// exit code, and the files as they were. (That the mode needs no display,
// and that the SARIF log passes the SARIF validator, is tested on the Linux
// side by ctest: see CMakeLists.txt.)
#include "ConsoleFixture.h"
#include "JsonValue.h"
#include "VeilgateCheck.h"
#include <algorithm>

using json::Kind;

namespace {

struct CheckConsole : Console
{
    std::string catalogue;

    void SetUp() override
    {
        Console::SetUp();
        catalogue = ReadFile(folder + "\\mimetypes");
    }
    std::string Check(const std::string& extra = "") { return "--check --document \"" + document + "\"" + extra; }
    void ExpectUntouched(const std::string& text)
    {
        EXPECT_EQ(text, ReadFile(document));
        EXPECT_EQ(catalogue, ReadFile(folder + "\\mimetypes"));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\mimetypes.usr").c_str()));
    }
    // An error on line 6, warnings on lines 34 and 46.
    void PlantFaults()
    {
        PlantHandWrittenEntry();
        std::string text = Replaced(ReadFile(document), "\"remove_cookies\": 0", "\"remove_cookies\": \"no\"");
        WriteText(document, Replaced(text, "\"port\": 4005", "\"port\": 70000"));
    }
    json::Value Report()
    {
        json::Value report;
        json::ParseError error;
        EXPECT_TRUE(json::parse(Output(), report, error)) << error.line << ": " << error.message << "\n" << Output();
        return report;
    }
};

// A member's member: Get(v, {"a", "b"}) is v.a.b; Null when missing.
const json::Value& Get(const json::Value& v, std::initializer_list<const char*> keys)
{
    static const json::Value null;
    const json::Value* at = &v;
    for (const char* key : keys)
        if ((at = at->find(key)) == nullptr)
            return null;
    return *at;
}

const char kServerPort[] = "http-proxy/sievex/ip_port: server \"02\": port 70000: Please enter an integer between 0 "
                           "and 65535.";
const char kUrlWithPath[] = "http-proxy/sievex/urls_allow: \"www.example.com/news:80 /daily/*\": Please enter URL "
                            "in the form 'www.example.com'";

} // namespace

TEST_F(CheckConsole, TheSampleHasNoProblemsAndAHandWrittenEntryIsAWarning)
{
    std::string text = ReadFile(document);
    EXPECT_EQ(0u, Run(Check()));
    EXPECT_EQ(document + ": no problems\n", Output());
    ExpectUntouched(text);

    PlantHandWrittenEntry();
    text = ReadFile(document);
    EXPECT_EQ(1u, Run(Check()));
    EXPECT_EQ(document + ":46: warning: " + kUrlWithPath + "\n" + document + ": 0 errors, 1 warning\n", Output());
    ExpectUntouched(text);
}

TEST_F(CheckConsole, ErrorsThenWarningsEachOnItsLine)
{
    std::string text = Replaced(ReadFile(document), "\"remove_cookies\": 0", "\"remove_cookies\": \"no\"");
    text = Replaced(text, "\"allowbypass\": 0", "\"allowbypass\": 0.5");
    text = Replaced(text, "\"port\": 4005", "\"port\": 70000");
    WriteText(document, text);
    EXPECT_EQ(2u, Run(Check(" --service http-proxy")));
    EXPECT_EQ(document + ":6: error: http-proxy/proxy_http/remove_cookies: must be an integer\n" +
              document + ":39: error: http-proxy/sievex/allowbypass: must be an integer\n" +
              document + ":34: warning: " + kServerPort + "\n" + document + ": 2 errors, 1 warning\n",
              Output());
    ExpectUntouched(text);
}

TEST_F(CheckConsole, WarningsAloneExitWithOneAndUsageErrorsWithTwo)
{
    std::string text = Replaced(ReadFile(document), "\"idle_timeout\": 600", "\"idle_timeout\": 1500");
    WriteText(document, text);
    EXPECT_EQ(1u, Run(Check()));
    EXPECT_EQ(document + ":12: warning: http-proxy/proxy_http/idle_timeout: 1500: Please enter an integer between 0 "
                         "and 1000.\n" + document + ": 0 errors, 1 warning\n",
              Output());
    EXPECT_EQ(2u, Run(Check(" --service mail")));
    EXPECT_EQ("console: there is no service \"mail\" in " + document + "\n", Errors());
    EXPECT_EQ(2u, Run("--check"));
    EXPECT_NE(std::string::npos, Errors().find("console: --check needs a document"));
    EXPECT_EQ(2u, Run(Check(" --format xml")));
    EXPECT_NE(std::string::npos, Errors().find("console: --format takes gnu, sarif or gitlab, not \"xml\""));
    ExpectUntouched(text);
}

TEST_F(CheckConsole, SarifHasTheRulesAndOneResultPerFinding)
{
    PlantFaults();
    EXPECT_EQ(2u, Run(Check(" --format sarif")));
    const json::Value log = Report();
    EXPECT_EQ("2.1.0", Get(log, { "version" }).asString());
    ASSERT_EQ(1u, Get(log, { "runs" }).items().size());
    const json::Value& run = Get(log, { "runs" }).items()[0];
    EXPECT_EQ("veilgate-check", Get(run, { "tool", "driver", "name" }).asString());
    EXPECT_FALSE(Get(run, { "tool", "driver", "version" }).asString().empty());
    const auto& rules = Get(run, { "tool", "driver", "rules" }).items();
    ASSERT_EQ((size_t)VgCheck::RuleCount, rules.size());
    EXPECT_EQ("VG204", Get(rules[VgCheck::ServerPort], { "id" }).asString());
    EXPECT_EQ("warning", Get(rules[VgCheck::ServerPort], { "defaultConfiguration", "level" }).asString());
    EXPECT_FALSE(Get(rules[VgCheck::ServerPort], { "shortDescription", "text" }).asString().empty());

    struct Expected { const char* rule; const char* level; const char* text; int line; };
    const Expected expected[] = {
        { "VG003", "error", "http-proxy/proxy_http/remove_cookies: must be an integer", 6 },
        { "VG204", "warning", kServerPort, 34 },
        { "VG401", "warning", kUrlWithPath, 46 },
    };
    const auto& results = Get(run, { "results" }).items();
    ASSERT_EQ(3u, results.size()) << Output();
    std::string uri = "file:///" + document;
    std::replace(uri.begin(), uri.end(), '\\', '/');
    for (size_t i = 0; i < 3; ++i) {
        const json::Value& location = Get(results[i], { "locations" }).items().at(0);
        EXPECT_EQ(expected[i].rule, Get(results[i], { "ruleId" }).asString());
        EXPECT_EQ(expected[i].rule, Get(rules.at(Get(results[i], { "ruleIndex" }).asInt()), { "id" }).asString());
        EXPECT_EQ(expected[i].level, Get(results[i], { "level" }).asString());
        EXPECT_EQ(expected[i].text, Get(results[i], { "message", "text" }).asString());
        EXPECT_EQ(uri, Get(location, { "physicalLocation", "artifactLocation", "uri" }).asString());
        EXPECT_EQ(expected[i].line, Get(location, { "physicalLocation", "region", "startLine" }).asInt());
    }
}

TEST_F(CheckConsole, GitLabIssuesKeepTheirFingerprintsWhenLinesMove)
{
    PlantFaults();
    EXPECT_EQ(2u, Run(Check(" --format gitlab")));
    json::Value issues = Report();
    ASSERT_EQ(3u, issues.items().size()) << Output();
    std::string path = document;
    std::replace(path.begin(), path.end(), '\\', '/');
    const struct { const char* rule; const char* severity; int line; } expected[] = {
        { "VG003", "major", 6 }, { "VG204", "minor", 34 }, { "VG401", "minor", 46 } };
    for (size_t i = 0; i < 3; ++i) {
        const json::Value& issue = issues.items()[i];
        EXPECT_EQ(expected[i].rule, Get(issue, { "check_name" }).asString());
        EXPECT_EQ(expected[i].severity, Get(issue, { "severity" }).asString());
        EXPECT_EQ(path, Get(issue, { "location", "path" }).asString());
        EXPECT_EQ(expected[i].line, Get(issue, { "location", "lines", "begin" }).asInt());
        EXPECT_EQ(32u, Get(issue, { "fingerprint" }).asString().size());
    }
    EXPECT_EQ(kServerPort, Get(issues.items()[1], { "description" }).asString());

    // Two lines more at the top: the same findings, the same fingerprints.
    WriteText(document, "\n\n" + ReadFile(document));
    EXPECT_EQ(2u, Run(Check(" --format gitlab")));
    const json::Value moved = Report();
    ASSERT_EQ(3u, moved.items().size());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(expected[i].line + 2, Get(moved.items()[i], { "location", "lines", "begin" }).asInt());
        EXPECT_EQ(Get(issues.items()[i], { "fingerprint" }), Get(moved.items()[i], { "fingerprint" }));
    }
    EXPECT_NE(Get(issues.items()[1], { "fingerprint" }), Get(issues.items()[2], { "fingerprint" }));
}

TEST_F(CheckConsole, ManyDocumentsInOneReportAndOneThatCannotBeReadIsAFindingOfItsOwn)
{
    const std::string sound = folder + "\\sound.json", missing = folder + "\\missing.json";
    CopyFileA(document.c_str(), sound.c_str(), FALSE);
    PlantFaults();
    const std::string files = " \"" + sound + "\" \"" + missing + "\" \"" + document + "\"";
    EXPECT_EQ(2u, Run("--check" + files));
    const std::string out = Output();
    EXPECT_EQ(0u, out.find(sound + ": no problems\n" + missing + ": error: cannot read the file: ")) << out;
    EXPECT_NE(std::string::npos, out.find(missing + ": 1 error, 0 warnings\n" + document + ":6: error: ")) << out;
    EXPECT_NE(std::string::npos, out.find(document + ": 1 error, 2 warnings\n")) << out;

    EXPECT_EQ(2u, Run("--check --format sarif" + files));
    const json::Value log = Report();
    const json::Value& run = Get(log, { "runs" }).items().at(0);
    const auto& results = Get(run, { "results" }).items();
    ASSERT_EQ(4u, results.size()) << Output();
    EXPECT_EQ("VG001", Get(results[0], { "ruleId" }).asString());
    const json::Value& location = Get(results[0], { "locations" }).items().at(0);
    EXPECT_EQ(Kind::Null, Get(location, { "physicalLocation", "region" }).kind());
    EXPECT_EQ("VG003", Get(results[1], { "ruleId" }).asString());
}
