// Exception lists exported into and imported from text files through the
// console, without a window: the lines as the definition dialog reads its
// parts, the lists as the exceptions page meets them, the document saved
// once or not at all.
#include "ConsoleFixture.h"

namespace {

using Texts = std::vector<std::string>;

class ExceptionFiles : public Console
{
protected:
    std::string list;  // the text file in and out

    void SetUp() override
    {
        Console::SetUp();
        list = folder + "\\list.txt";
    }
    DWORD RunMode(const std::string& mode, const std::string& side, const std::string& file,
                  const std::string& extra = "")
    {
        return Run(StandardArgs() + " " + mode + " " + side + " \"" + file + "\"" + extra);
    }
    DWORD Import(const std::string& side, const std::string& extra = "")
    {
        return RunMode("--import-exceptions", side, list, extra);
    }
};

} // namespace

TEST_F(ExceptionFiles, EveryLineFormIsStoredAsTheDialogWritesItAndRefusalsNameTheirLine)
{
    const Texts denied = StoredList("urls_deny");
    WriteText(list, "\xEF\xBB\xBF# allowed for the lab\r\n"
                    "10.5.0.1:8080\r\n"                     // 2: the dialog's blank after the port
                    "   010.005.000.002 /lab/*\r\n"         // 3: leading blanks go, zeros too
                    "\r\n"
                    "  # indented comment\n"
                    "10.6.0.0/16:443  /a b \n"              // 6: the pattern as written
                    "lab.example.org\n"
                    "224.0.0.251\n"                         // 8: as a lookup writes it
                    "10.1.2.3\n"                            // 9: already allowed
                    "LAB.EXAMPLE.ORG\n"                     // 10: the page ignores case
                    "172.16.5.9\n"                          // 11: denied
                    "10.6.1.0/16\n"                         // 12
                    "www.example.com/news\n"                // 13
                    "caf\xC3\xA9.example.org:65537\n"       // 14: the port is read first
                    "10.5.0.1:8080 \n"                      // 15: line 2 again
                    "ads.example.net:8o\n"                  // 16
                    "bad\xFFutf8\n"                         // 17
                    "10.1.2\r"                              // 18: a lone CR ends a line too
                    "last.example.org");
    EXPECT_EQ(1u, Import("allowed"));
    EXPECT_EQ(list + ":11: The following exceptions already exist in the denied exceptions list: 172.16.5.9 \n" +
                  list + ":12: You must enter a valid network address.\n" +
                  list + ":13: Please enter URL in the form 'www.example.com' \n" +
                  list + ":14: Please enter an integer between 0 and 65536.\n" +
                  list + ":16: Please enter an integer.\n" +
                  list + ":17: the line is not UTF-8 text\n" +
                  list + ":18: Not a valid IP!\n",
              Errors());
    EXPECT_EQ("6 added, 3 already present, 7 refused\n", Output());
    EXPECT_EQ((Texts{ "10.1.2.3", "10.1.2.4:8080 ", "10.20.0.0/16 /intranet/*", "10.5.0.1:8080 ", "10.5.0.2 /lab/*",
                      "10.6.0.0/16:443  /a b ", "224.0.0.251", "93.184.216.34", "lab.example.org",
                      "last.example.org", "www.example.com:80 /news/daily/*" }),
              StoredList("urls_allow"));
    EXPECT_EQ(denied, StoredList("urls_deny"));
}

TEST_F(ExceptionFiles, AnAllowedEntryIsRefusedFromTheDeniedListWithThePagesOtherMessage)
{
    WriteText(list, "10.1.2.3\n10.1.2.3\nnew.example.net\n");
    EXPECT_EQ(1u, Import("denied"));
    EXPECT_EQ(list + ":1: The following exceptions already exist in the allowed exceptions list: 10.1.2.3 \n" +
                  list + ":2: The following exceptions already exist in the allowed exceptions list: 10.1.2.3 \n",
              Errors());
    EXPECT_EQ("1 added, 0 already present, 2 refused\n", Output());
    EXPECT_EQ((Texts{ "172.16.5.9", "192.168.200.0/24", "203.0.113.7:6667 ", "games.example.net",
                      "new.example.net" }),
              StoredList("urls_deny"));
}

TEST_F(ExceptionFiles, ADryRunAndARunThatAddsNothingWriteNothing)
{
    const std::string before = ReadFile(document);
    WriteText(list, "new.example.net\n10.1.2.3\n");
    EXPECT_EQ(0u, Import("allowed", " --dry-run"));
    EXPECT_EQ("1 added, 1 already present, 0 refused\n", Output());
    EXPECT_EQ(before, ReadFile(document));

    ASSERT_TRUE(SetFileAttributesA(document.c_str(), FILE_ATTRIBUTE_READONLY));
    WriteText(list, "10.1.2.3\n# nothing new\n");
    EXPECT_EQ(0u, Import("allowed"));
    EXPECT_EQ("0 added, 1 already present, 0 refused\n", Output());
    WriteText(list, "");
    EXPECT_EQ(0u, Import("denied"));
    EXPECT_EQ("0 added, 0 already present, 0 refused\n", Output());

    WriteText(list, "new.example.net\n");
    EXPECT_EQ(2u, Import("allowed"));
    EXPECT_EQ("console: " + document + ": cannot save the file: it is read-only; the file was left as it was\n",
              Errors());
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(ExceptionFiles, UsageAndDocumentErrorsExitWithTwoAndWriteNothing)
{
    const std::string before = ReadFile(document);
    EXPECT_EQ(2u, RunMode("--import-exceptions", "allowed", folder + "\\missing.txt"));
    EXPECT_NE(std::string::npos, Errors().find("console: " + folder + "\\missing.txt: cannot read the file: "))
        << Errors();
    EXPECT_EQ(2u, RunMode("--import-exceptions", "both", list));
    EXPECT_NE(std::string::npos, Errors().find("console: --import-exceptions takes allowed or denied, not \"both\""));
    EXPECT_EQ(2u, RunMode("--export-exceptions", "allowed", document));
    EXPECT_EQ("console: " + document + ": that is the document itself; it was left as it was\n", Errors());
    EXPECT_EQ(2u, Run("--document \"" + document + "\" --service nowhere --export-exceptions denied -"));
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(ExceptionFiles, ExportThenImportIntoAnEmptyListGivesTheListBackByteForByte)
{
    // A line of the allowed list that the dialog would refuse: the export
    // says so and writes it all the same.
    PlantHandWrittenEntry();
    EXPECT_EQ(1u, RunMode("--export-exceptions", "allowed", list));
    EXPECT_EQ(list + ":5: warning: an import would refuse the line: Please enter URL in the form "
                     "'www.example.com' \n",
              Errors());
    EXPECT_EQ("10.1.2.3\n10.1.2.4:8080 \n10.20.0.0/16 /intranet/*\n93.184.216.34\nwww.example.com/news:80 /daily/*\n",
              ReadFile(list));

    // A fresh sample with an empty denied list each time.
    auto emptyDenied = [this] {
        ASSERT_TRUE(CopyFileA(EXAMPLES_DIR "/http-proxy.json", document.c_str(), FALSE));
        WriteText(document, Replaced(ReadFile(document), "\"urls_deny\": [", "\"urls_deny\": [], \"was\": ["));
    };
    emptyDenied();
    WriteText(list, "b.example.org /caf\xC3\xA9/*\n10.9.0.0/16:0 \nA.example.org\n0.0.0.0\n10.8.0.1:80  x\n");
    EXPECT_EQ(0u, Import("denied"));
    const Texts stored = StoredList("urls_deny");
    EXPECT_EQ(0u, RunMode("--export-exceptions", "denied", list));
    const std::string exported = ReadFile(list);
    EXPECT_EQ("0.0.0.0\n10.8.0.1:80  x\n10.9.0.0/16:0 \nA.example.org\nb.example.org /caf\xC3\xA9/*\n", exported);

    emptyDenied();
    EXPECT_EQ(0u, Import("denied"));
    EXPECT_EQ(stored, StoredList("urls_deny"));
    EXPECT_EQ(0u, RunMode("--export-exceptions", "denied", "-"));
    EXPECT_EQ(exported, ReadFile(folder + "\\stdout.txt"));
}
