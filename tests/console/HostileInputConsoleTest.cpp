// The console on hostile input: names in any script on the command line,
// empty values, folders, devices and files too large to be documents,
// numbers out of range, lone CR line ends, a huge value of another tool and
// damaged documents. Each either opens or is refused with exit code 2 and a
// message naming the file, which is left as it was.
#include "ConsoleFixture.h"
#include "resource.h"
#include <algorithm>
#include <cstdio>

namespace {

// "文書-Ω😀.json": outside every legacy code page at once, and beyond 16 bits.
const wchar_t kName[] = L"\u6587\u66f8-\u03a9\U0001F600.json";
const char kNameUtf8[] = "\xE6\x96\x87\xE6\x9B\xB8-\xCE\xA9\xF0\x9F\x98\x80.json";

std::wstring Wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

std::string ReadWide(const std::wstring& path)
{
    std::string text;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
            text.append(buf, n);
        fclose(f);
    }
    return text;
}

const char kActivateMustBeAnInteger[] =
    ": line 38: key \"activate\" in section \"sievex\" of service \"http-proxy\" must be an integer\n";

// A document of many entries, opened on one page, confirmed, and read back.
class ManyEntries : public Console
{
protected:
    // Opens the console on text, shows the page with this caption (one that
    // took minutes to fill would count as a hang) and returns the number of
    // items of its list; then confirms the sheet.
    int ShowAndConfirm(const std::string& text, const char* caption, int list, UINT countMessage)
    {
        WriteText(document, text);
        Start(StandardArgs());
        HWND sheet = WaitForSheet();
        if (sheet == NULL)
            return -1;
        DWORD_PTR shown = 0;
        EXPECT_TRUE(SendMessageTimeoutA(sheet, PSM_SETCURSEL, PageIndex(sheet, caption), 0, SMTO_NORMAL, 300000,
                                        &shown));
        HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
        const int count = (int)SendMessageA(GetDlgItem(page, list), countMessage, 0, 0);
        EXPECT_EQ(0u, Press(sheet, PSBTN_OK)) << Errors();
        return count;
    }

    template <class T>
    bool Stored(const char* key, QuoValOf<T>& value)
    {
        Beach beach;
        CString error;
        EXPECT_TRUE(beach.open(document.c_str(), error)) << (LPCTSTR)error;
        Quolla* section = beach.digQuolla("sievex", "http-proxy");
        const bool found = section && section->getProp(key, value);
        beach.tossQuolla(section);
        return found;
    }
};

} // namespace

TEST_F(Console, ADocumentNamedInAnyScriptOpensAndIsNamedInUtf8)
{
    const std::string text = ReadFile(document);
    const std::wstring named = Wide(folder) + L"\\" + kName;
    const std::wstring args = L"--document \"" + named + L"\" --service http-proxy";

    WriteText(document, Replaced(text, "\"activate\": 1", "\"activate\": \"on\""));
    ASSERT_TRUE(CopyFileW(Wide(document).c_str(), named.c_str(), FALSE));
    Start(args);
    EXPECT_EQ(2u, WaitForExit());
    EXPECT_EQ("console: " + folder + "\\" + kNameUtf8 + kActivateMustBeAnInteger, Errors());

    WriteText(document, text);
    ASSERT_TRUE(CopyFileW(Wide(document).c_str(), named.c_str(), FALSE));
    Start(args);
    HWND sheet = WaitForSheet();
    ASSERT_NE(nullptr, sheet);
    EXPECT_EQ(0u, Press(sheet, PSBTN_OK)) << Errors();
    EXPECT_EQ("", Errors());
    EXPECT_EQ(text, ReadWide(named));
}

TEST_F(Console, EmptyAndMissingValuesAreRefusedBeforeTheSheet)
{
    const std::string before = ReadFile(document);
    const struct { std::string args, message; } cases[] = {
        { StandardArgs() + " --screenshots \"\"", "--screenshots needs a value; an empty one was given" },
        { "--document \"\" --service http-proxy", "--document needs a value; an empty one was given" },
        { "--document \"" + document + "\" --service \"\"", "--service needs a value; an empty one was given" },
        { StandardArgs() + " --data-folder", "--data-folder needs a value" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(2u, Run(c.args)) << c.args;
        const std::string errors = Errors();
        EXPECT_EQ(0u, errors.find("usage: ")) << errors;
        EXPECT_NE(std::string::npos, errors.find("\nconsole: " + c.message + "\n")) << errors;
    }
    EXPECT_EQ(before, ReadFile(document));
}

TEST_F(Console, AScreenshotsFolderThatCannotBeMadeIsRefusedBeforeTheSheet)
{
    EXPECT_EQ(2u, Run(StandardArgs() + " --screenshots \"" + document + "\""));
    EXPECT_EQ("console: cannot make the screenshots folder " + document + ": a file has that name\n", Errors());

    const std::string deeper = folder + "\\missing\\shots";
    EXPECT_EQ(2u, Run(StandardArgs() + " --screenshots \"" + deeper + "\""));
    const std::string errors = Errors();
    EXPECT_EQ(0u, errors.find("console: cannot make the screenshots folder " + deeper + ": ")) << errors;
    EXPECT_EQ(std::string::npos, errors.find("screenshots written")) << errors;
}

TEST_F(Console, FoldersDevicesAndFilesTooLargeAreRefusedByName)
{
    EXPECT_EQ(2u, Run("--document \"" + folder + "\" --service http-proxy"));
    EXPECT_EQ("console: " + folder + ": cannot read the file: it is a folder\n", Errors());

    const std::string big = folder + "\\big.json";
    HANDLE h = CreateFileA(big.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    size.QuadPart = 300LL << 20;
    ASSERT_TRUE(SetFilePointerEx(h, size, NULL, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);
    EXPECT_EQ(2u, Run("--document \"" + big + "\" --service http-proxy"));
    EXPECT_EQ("console: " + big + ": too large: 314572800 bytes, limit 67108864\n", Errors());

    if (GetFileAttributesA("Z:\\dev\\zero") != INVALID_FILE_ATTRIBUTES) {
        EXPECT_EQ(2u, Run("--document Z:\\dev\\zero --service http-proxy"));
        EXPECT_EQ("console: Z:\\dev\\zero: too large: more than 67108864 bytes, limit 67108864\n", Errors());
    }
}

TEST_F(Console, NumbersOutOfRangeAndLoneCrLineEndsAreReportedAtTheirLine)
{
    const std::string text = ReadFile(document);
    // A tiny number of another tool reads as 0 and stays as written.
    const std::string tiny = Replaced(text, "\"allow_put\": 0", "\"allow_put\": 1e-400");
    WriteText(document, tiny);
    EXPECT_EQ(0u, OpenAndPress(StandardArgs(), PSBTN_OK)) << Errors();
    EXPECT_EQ(tiny, ReadFile(document));

    std::string huge = Replaced(text, "\"activate\": 1", "\"activate\": 1e400");
    std::replace(huge.begin(), huge.end(), '\n', '\r');
    WriteText(document, huge);
    EXPECT_EQ(2u, Run(StandardArgs()));
    EXPECT_EQ("console: " + document + ": line 38: key \"activate\" in section \"sievex\" of service \"http-proxy\" "
              "holds a number out of range; it must be an integer from -2147483648 to 2147483647\n",
              Errors());
    EXPECT_EQ(huge, ReadFile(document));
}

TEST_F(Console, AHugeValueOfAnotherToolOpensAndComesBackAsItWas)
{
    // Five million numbers under a key the editor does not know: 10 MB.
    std::string zeros;
    zeros.reserve(10 << 20);
    for (int i = 0; i < 5000000; ++i)
        zeros += "0,";
    const std::string text = Replaced(ReadFile(document), "\"allow_put\": 0", "\"history\": [" + zeros + "0]");
    WriteText(document, text);
    EXPECT_EQ(0u, OpenAndPress(StandardArgs(), PSBTN_OK)) << Errors();
    EXPECT_TRUE(text == ReadFile(document));
}

TEST_F(Console, DamagedDocumentsAreRefusedWithFileAndLine)
{
    const std::string text = ReadFile(document);
    const struct { std::string damaged, message; } cases[] = {
        { text.substr(0, 1500), ": line 52: unterminated string" },
        { Replaced(text, "\"allowbypass\": 0,", "\"allowbypass\": 0,,"), ": line 39: expected a string key" },
        { Replaced(text, "\"activate\": 1", "\"activate\": \"on\""), kActivateMustBeAnInteger },
        { Replaced(text, "\"allow_put\": 0", "\"allow_put\": " + std::string(100000, '[')),
          ": line 83: nesting deeper than 512 levels" },
        { Replaced(text, "\"idle_timeout\": 600,", "\"idle_timeout\": 600, \"idle_timeout\": 1,"),
          ": line 12: duplicate key \"idle_timeout\"" },
        { text.substr(0, text.find("      \"sievex\"")), ": line 19: unexpected end of text" },
        { Replaced(text, "\"alice\"", "\"al\xFF" "ice\""), ": line 61: invalid UTF-8" },
    };
    for (const auto& c : cases) {
        WriteText(document, c.damaged);
        EXPECT_EQ(2u, Run(StandardArgs()));
        EXPECT_EQ("console: " + document + c.message + (c.message.back() == '\n' ? "" : "\n"), Errors());
        EXPECT_TRUE(c.damaged == ReadFile(document));
    }
}

TEST_F(Console, NamesGivenTwiceAreRefusedWhereTheEditorReadsAndKeptElsewhere)
{
    const std::string text = ReadFile(document);
    // Other tools' values: a key of their own section, of a section and a
    // key the editor does not know, of a field of a server it does not know.
    std::string theirs = Replaced(text, "\"allow_put\": 0", "\"allow_put\": 0, \"allow_put\": 1");
    theirs = Replaced(theirs, "\"remove_cookies\": 0,",
                      "\"remove_cookies\": 0, \"their\": {\"a\": \"b\", \"a\": \"c\"},");
    theirs = Replaced(theirs, "\"sievex\": {", "\"theirs\": {\"a\": 1, \"a\": 1}, \"sievex\": {");
    theirs = Replaced(theirs, "\"position\": 0", "\"position\": 0, \"note\": {\"by\": 1, \"by\": 2}");
    WriteText(document, theirs);
    EXPECT_EQ(0u, OpenAndPress(StandardArgs(), PSBTN_OK)) << Errors();
    EXPECT_EQ(theirs, ReadFile(document));

    // Where the editor reads: services, its sections, its keys (above),
    // records and their fields.
    const struct { std::string damaged, message; } cases[] = {
        { Replaced(text, "\"ftp-proxy\"", "\"http-proxy\""), ": line 80: duplicate key \"http-proxy\"" },
        { Replaced(text, "\"proxy_http\": {", "\"sievex\": {}, \"proxy_http\": {"),
          ": line 20: duplicate key \"sievex\"" },
        { Replaced(text, "\"01\": {", "\"00\": {"), ": line 27: duplicate key \"00\"" },
        { Replaced(text, "\"Everyone\": {", "\"Staff\": {"), ": line 68: duplicate key \"Staff\"" },
        { Replaced(text, "\"port\": 4005,", "\"port\": 4005, \"port\": 80,"), ": line 34: duplicate key \"port\"" },
    };
    for (const auto& c : cases) {
        WriteText(document, c.damaged);
        EXPECT_EQ(2u, Run(StandardArgs()));
        EXPECT_EQ("console: " + document + c.message + "\n", Errors());
    }
}

TEST_F(ManyEntries, AHundredThousandServersShowAndAreSavedInTheirOrder)
{
    std::string servers;
    for (int i = 0; i < 100000; ++i) {
        char record[96];
        sprintf(record, "\n          \"s%06d\": {\"address\": \"10.1.%d.%d\", \"port\": 80, \"position\": %d},", i,
                i / 256 % 256, i % 256, 3 + i);
        servers += record;
    }
    const std::string text = Replaced(ReadFile(document), "\"ip_port\": {", "\"ip_port\": {" + servers);
    EXPECT_EQ(100003, ShowAndConfirm(text, "Veilgate Controls", IDC_SERVER_LIST, LVM_GETITEMCOUNT));

    // The page keys servers by their place in the list.
    QuoValOf<QuoVGServerIpMap> stored;
    ASSERT_TRUE(Stored("ip_port", stored));
    ASSERT_EQ(100003, stored.value.GetCount());
    QuoVGServerIp* server = nullptr;
    ASSERT_TRUE(stored.value.Lookup("100002", server));
    EXPECT_STREQ("10.1.134.159", server->address);
    ASSERT_TRUE(stored.value.Lookup("03", server));
    EXPECT_STREQ("10.1.0.0", server->address);
}

TEST_F(ManyEntries, AMillionExceptionsShowAndAreSaved)
{
    // Empty ones: the list box's own sorting is slowest where all compare equal.
    std::string entries;
    for (int i = 0; i < 1000000; ++i)
        entries += "\"\",";
    const std::string text = Replaced(ReadFile(document), "\"urls_allow\": [", "\"urls_allow\": [" + entries);
    EXPECT_EQ(1000005, ShowAndConfirm(text, "VG: Exceptions", IDC_ALLOWED_EX_LIST, LB_GETCOUNT));

    CStringList allowed;
    QuoValOf<CStringList*> stored(&allowed);
    ASSERT_TRUE(Stored("urls_allow", stored));
    EXPECT_EQ(1000005, allowed.GetCount());
    EXPECT_STREQ("", allowed.GetHead());
    EXPECT_STREQ("www.example.com:80 /news/daily/*", allowed.GetTail());
}
