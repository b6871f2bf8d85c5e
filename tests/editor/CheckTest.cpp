// The check of a document without the sheet: each planted fault found once,
// on its line, and nothing found in a sound document.
#include <gtest/gtest.h>
#include "VeilgateCheck.h"
#include "VeilgateSettings.h"
#include "TempFolder.h"
#include "TextSupport.h"
#include <algorithm>
#include <string>

namespace {

// Every owned value in use, one a line, none of them at fault.
const char kSound[] = R"({ "services": { "http-proxy": {
  "proxy_http": {
    "idle_timeout": 600,
    "proxy_server": "10.0.0.1:8080",
    "safe_content": "image/gif\ntext/html",
    "unsafe_patterns": "*.exe\n# a remark of its own\n/cgi-bin/*"
  },
  "sievex": {
    "ip_port": {
      "00": { "address": "10.0.0.5",
              "port": 5003,
              "position": 0 },
      "01": { "address": "10.0.0.6",
              "port": 65535,
              "position": 1 }
    },
    "activate": 1,
    "denymsg": "Blocked.",
    "urls_allow": [
      "10.1.2.3",
      "www.example.com",
      "10.20.0.0/16 /intranet/*"
    ],
    "urls_deny": [
      "172.16.5.9:6667 "
    ],
    "rules": { "Zeta": {
      "opMask": "1000000000000000000000000000000000000000",
      "schedule": "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000001",
      "nonOpMask": "",
      "nonOpBlockAll": false, "opBlockAll": true } } } },
  "ftp-proxy": { "proxy_ftp": { "idle_timeout": 5000 } } } }
)";

const char kCatalogue[] = "image/gif\tGIF image\ntext/html\tHTML document\n";

int LineOf(const std::string& text, const std::string& what)
{
    const size_t at = text.find(what);
    EXPECT_NE(std::string::npos, at) << what;
    return 1 + (int)std::count(text.begin(), text.begin() + (at == std::string::npos ? 0 : at), '\n');
}

struct Check : ::testing::Test
{
    TempFolder folder;
    VgFindingArray findings;

    void Run(const std::string& text, const char* service = "")
    {
        folder.write("doc.json", text);
        folder.write("mimetypes", kCatalogue);
        CString error;
        EXPECT_TRUE(VgCheck::CheckDocument(folder.path("doc.json").c_str(), service, folder.path().c_str(),
                                           findings, error))
            << (LPCTSTR)error;
    }
    std::string All() const
    {
        std::string all;
        for (int i = 0; i < findings.GetSize(); ++i)
            all += std::string(VgCheck::FormatFinding("doc", findings[i])) + "\n";
        return all;
    }
};

} // namespace

TEST_F(Check, ASoundDocumentHasNoProblemsAndTheFilesStayAsTheyWere)
{
    Run(kSound);
    EXPECT_EQ("", All());
    EXPECT_STREQ("doc: no problems", VgCheck::Summary("doc", findings));
    EXPECT_EQ(0, VgCheck::ExitCode(findings));
    EXPECT_EQ(kSound, folder.read("doc.json"));
    EXPECT_EQ(kCatalogue, folder.read("mimetypes"));
    EXPECT_FALSE(folder.exists("mimetypes.usr"));
}

TEST_F(Check, EachPlantedFaultIsOneWarningOnItsLine)
{
    struct Case { const char* from; const char* to; const char* at; const char* text; VgCheck::Rule rule; };
    const Case cases[] = {
        { "\"idle_timeout\": 600", "\"idle_timeout\": 1001", "\"idle_timeout\"",
          "http-proxy/proxy_http/idle_timeout: 1001: Please enter an integer between 0 and 1000.",
          VgCheck::IdleTimeoutRange },
        { "10.0.0.1:8080", "10.0.0.1:70000", "\"proxy_server\"",
          "http-proxy/proxy_http/proxy_server: \"10.0.0.1:70000\": The port number you entered is invalid.  Please "
          "enter a port number between 0 and 65536.",
          VgCheck::CachingProxy },
        { "10.0.0.1:8080", "224.0.0.1:8080", "\"proxy_server\"",
          "http-proxy/proxy_http/proxy_server: \"224.0.0.1:8080\": You must enter a valid IP address and port for the "
          "Proxy server.",
          VgCheck::CachingProxy },
        { "image/gif\\n", "image/gif\\nimage/x-rare\\n", "\"safe_content\"",
          "http-proxy/proxy_http/safe_content: \"image/x-rare\": not a type of the MIME type catalogue in ",
          VgCheck::SafeContentType },
        { "*.exe\\n", "*.exe # all programs\\n", "\"unsafe_patterns\"",
          "http-proxy/proxy_http/unsafe_patterns: \"*.exe # all programs\": A path pattern cannot hold a number sign (#)",
          VgCheck::UnsafePathPattern },
        { "\"01\": {", "\"1\": {", "\"1\": {",
          "http-proxy/sievex/ip_port: server \"1\": the key of a server is its position printed \"%02d\": \"01\"",
          VgCheck::ServerKey },
        { "\"position\": 1", "\"position\": 2", "\"position\": 2",
          "http-proxy/sievex/ip_port: server \"01\": position 2: the positions of 2 servers run from 0 to 1",
          VgCheck::ServerPosition },
        { "\"position\": 1", "\"position\": 0", "\"position\": 0 }\n",
          "http-proxy/sievex/ip_port: server \"01\": position 0 is also the position of server \"00\"",
          VgCheck::ServerPosition },
        { "10.0.0.6", "10.0.0.256", "10.0.0.256",
          "http-proxy/sievex/ip_port: server \"01\": address \"10.0.0.256\": Please enter a valid IP address.",
          VgCheck::ServerAddress },
        { "65535", "65536", "65536",
          "http-proxy/sievex/ip_port: server \"01\": port 65536: Please enter an integer between 0 and 65535.",
          VgCheck::ServerPort },
        { "\"00\": { \"address\": \"10.0.0.5\",\n              \"port\": 5003,\n              \"position\": 0 },\n"
          "      \"01\": { \"address\": \"10.0.0.6\",\n              \"port\": 65535,\n              \"position\": 1 }\n",
          "", "\"activate\"",
          "http-proxy/sievex/activate: Please enter the location of your Veilgate server.  This will most likely be "
          "the same server as your log host.",
          VgCheck::FilterWithoutServers },
        { "\"opMask\": \"1", "\"opMask\": \"", "\"opMask\"",
          "http-proxy/sievex/rules: group \"Zeta\": opMask has 39 characters, not 40",
          VgCheck::CategoryMask },
        { "000001\",", "000002\",", "\"schedule\"",
          "http-proxy/sievex/rules: group \"Zeta\": schedule has a character other than \"0\" or \"1\" at position 167",
          VgCheck::ScheduleMask },
        { "\"nonOpMask\": \"\"", "\"nonOpMask\": \"0\"", "\"nonOpMask\"",
          "http-proxy/sievex/rules: group \"Zeta\": nonOpMask has 1 characters, not 40",
          VgCheck::CategoryMask },
        { "\"www.example.com\",", "\"www.example.com/news\",", "www.example.com/news",
          "http-proxy/sievex/urls_allow: \"www.example.com/news\": Please enter URL in the form 'www.example.com'",
          VgCheck::ExceptionNotFromDialog },
        { "\"172.16.5.9:6667 \"", "\"172.16.5.9:6667\"", "\"172.16.5.9:6667\"",
          "http-proxy/sievex/urls_deny: \"172.16.5.9:6667\": the exception definition dialog writes it "
          "\"172.16.5.9:6667 \"",
          VgCheck::ExceptionRewritten },
        { "\"172.16.5.9:6667 \"", "\"WWW.example.com\"", "\"WWW.example.com\"",
          "http-proxy/sievex/urls_deny: The following exceptions already exist in the allowed exceptions list: "
          "WWW.example.com",
          VgCheck::ExceptionInBothLists },
        { "\"www.example.com\",", "\"www.example.com\",\n      \"Www.Example.com\",", "Www.Example.com",
          "http-proxy/sievex/urls_allow: These exceptions are already listed: Www.Example.com",
          VgCheck::ExceptionListedTwice },
    };
    for (const Case& c : cases) {
        const std::string text = Replaced(kSound, c.from, c.to);
        Run(text);
        ASSERT_EQ(1, findings.GetSize()) << c.to << "\n" << All();
        EXPECT_FALSE(findings[0].error) << c.to;
        EXPECT_EQ(LineOf(text, c.at), findings[0].line) << c.to;
        EXPECT_EQ(0, findings[0].text.Find(c.text)) << All();
        EXPECT_EQ(c.rule, findings[0].rule) << c.to;
        EXPECT_EQ(1, VgCheck::ExitCode(findings));
        EXPECT_EQ(text, folder.read("doc.json"));
    }
}

TEST_F(Check, EveryValueTheStoreRefusesIsAnErrorOnItsLineBeforeTheWarnings)
{
    std::string text = Replaced(kSound, "\"idle_timeout\": 600", "\"idle_timeout\": \"600\"");
    text = Replaced(text, "\"activate\": 1", "\"activate\": []");
    text = Replaced(text, "\"Blocked.\"", "\"" + std::string(VgSettings::DenyMessageLimit + 1, 'x') + "\"");
    text = Replaced(text, "65535", "65536");
    Run(text);
    ASSERT_EQ(4, findings.GetSize()) << All();
    const struct { const char* at; const char* text; } errors[] = {
        { "\"idle_timeout\"", "http-proxy/proxy_http/idle_timeout: must be an integer" },
        { "\"activate\"", "http-proxy/sievex/activate: must be an integer" },
        { "\"denymsg\"", "http-proxy/sievex/denymsg: is 32768 characters long as shown; the limit is 32767" },
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(findings[i].error) << All();
        EXPECT_EQ(VgCheck::RefusedValue, findings[i].rule);
        EXPECT_EQ(LineOf(text, errors[i].at), findings[i].line) << All();
        EXPECT_STREQ(errors[i].text, findings[i].text);
    }
    EXPECT_FALSE(findings[3].error);
    EXPECT_EQ(LineOf(text, "65536"), findings[3].line);
    EXPECT_STREQ("doc: 3 errors, 1 warning", VgCheck::Summary("doc", findings));
    EXPECT_EQ(2, VgCheck::ExitCode(findings));

    // After a syntax error nothing more can be read.
    text = Replaced(text, "\"activate\": []", "\"activate\": ]");
    Run(text);
    ASSERT_EQ(1, findings.GetSize()) << All();
    EXPECT_TRUE(findings[0].error);
    EXPECT_EQ(VgCheck::MalformedDocument, findings[0].rule);
    EXPECT_EQ(LineOf(text, "\"activate\""), findings[0].line);
    EXPECT_STREQ("doc: 1 error, 0 warnings", VgCheck::Summary("doc", findings));
}

TEST_F(Check, OneServiceAloneAndFindingsOnALineOfTheirOwn)
{
    Run(Replaced(kSound, "\"idle_timeout\": 600", "\"idle_timeout\": 1001"), "ftp-proxy");
    EXPECT_EQ("", All());
    CString error;
    EXPECT_FALSE(VgCheck::CheckDocument(folder.path("doc.json").c_str(), "mail", folder.path().c_str(), findings,
                                        error));
    EXPECT_EQ(0, error.Find("there is no service \"mail\" in "));

    VgFinding finding;
    finding.text = "a\nb\tc\x01";
    EXPECT_STREQ("doc: warning: a\\nb\\tc\\u0001", VgCheck::FormatFinding("doc", finding));
}
