// console.exe --check end to end: the report on stdout, the exit code, and
// the files as they were. (That the mode needs no display is tested by
// ctest, which starts a console without one: see CMakeLists.txt.)
#include "ConsoleFixture.h"

namespace {

const char kHandWritten[] = ",\n          \"www.example.com/news:80 /daily/*\"";

struct CheckConsole : Console
{
    std::string catalogue;

    void SetUp() override
    {
        Console::SetUp();
        catalogue = ReadFile(folder + "\\mimetypes");
    }
    // The sample without its one entry that the definition dialog could
    // not have written (a URL with a path).
    std::string SoundSample() { return Replaced(ReadFile(document), kHandWritten, ""); }
    std::string Check(const std::string& extra = "") { return "--check --document \"" + document + "\"" + extra; }
    void ExpectUntouched(const std::string& text)
    {
        EXPECT_EQ(text, ReadFile(document));
        EXPECT_EQ(catalogue, ReadFile(folder + "\\mimetypes"));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\mimetypes.usr").c_str()));
    }
};

} // namespace

TEST_F(CheckConsole, TheSampleWithoutItsHandWrittenUrlHasNoProblems)
{
    std::string text = ReadFile(document);
    EXPECT_EQ(1u, Run(Check()));
    EXPECT_EQ(document + ":46: warning: http-proxy/sievex/urls_allow: \"www.example.com/news:80 /daily/*\": Please "
                         "enter URL in the form 'www.example.com'\n" + document + ": 0 errors, 1 warning\n",
              Output());
    ExpectUntouched(text);

    text = SoundSample();
    WriteText(document, text);
    EXPECT_EQ(0u, Run(Check()));
    EXPECT_EQ(document + ": no problems\n", Output());
    ExpectUntouched(text);
}

TEST_F(CheckConsole, ErrorsThenWarningsEachOnItsLine)
{
    std::string text = SoundSample();
    text = Replaced(text, "\"remove_cookies\": 0", "\"remove_cookies\": \"no\"");
    text = Replaced(text, "\"allowbypass\": 0", "\"allowbypass\": 0.5");
    text = Replaced(text, "\"port\": 4005", "\"port\": 70000");
    WriteText(document, text);
    EXPECT_EQ(2u, Run(Check(" --service http-proxy")));
    EXPECT_EQ(document + ":6: error: http-proxy/proxy_http/remove_cookies: must be an integer\n" +
              document + ":39: error: http-proxy/sievex/allowbypass: must be an integer\n" +
              document + ":34: warning: http-proxy/sievex/ip_port: server \"02\": port 70000: Please enter an "
                         "integer between 0 and 65535.\n" +
              document + ": 2 errors, 1 warning\n",
              Output());
    ExpectUntouched(text);
}

TEST_F(CheckConsole, WarningsAloneExitWithOneAndUsageErrorsWithTwo)
{
    std::string text = Replaced(SoundSample(), "\"idle_timeout\": 600", "\"idle_timeout\": 1500");
    WriteText(document, text);
    EXPECT_EQ(1u, Run(Check()));
    EXPECT_EQ(document + ":12: warning: http-proxy/proxy_http/idle_timeout: 1500: Please enter an integer between 0 "
                         "and 1000.\n" + document + ": 0 errors, 1 warning\n",
              Output());
    EXPECT_EQ(2u, Run(Check(" --service mail")));
    EXPECT_EQ("console: there is no service \"mail\" in " + document + "\n", Errors());
    EXPECT_EQ(2u, Run("--check"));
    EXPECT_NE(std::string::npos, Errors().find("console: --check needs --document\n"));
    ExpectUntouched(text);
}
