// The safe content page end to end: a new type defined in the console,
// chosen with a catalogue type, a pattern typed in; the document and the
// user catalogue compared afterwards.
#include "ConsoleFixture.h"
#include "resource.h"

namespace {

const char kNewType[] = "application/x-veilgate-test";

std::string Slashed(std::string path)
{
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// Waits until a window of the console has gone.
bool WaitGone(HWND h)
{
    for (int i = 0; i < 500 && IsWindow(h); ++i)
        Sleep(10);
    return !IsWindow(h);
}

int Row(HWND list, const char* text)
{
    for (int i = 0; i < 500; ++i) {
        int row = (int)SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
        if (row >= 0)
            return row;
        Sleep(10);
    }
    return -1;
}

class SafeContentConsole : public Console
{
protected:
    HWND sheet = NULL, page = NULL;

    // Starts the console, shows the safe content page and presses Add;
    // the type selection dialog, or NULL.
    HWND OpenSelection(const std::string& args)
    {
        Start(args);
        sheet = WaitForSheet();
        if (sheet == NULL)
            return NULL;
        page = ShowPage(sheet, PageIndex(sheet, "Safe Content"));
        PostMessageA(GetDlgItem(page, IDC_ADD_SAFE_TYPE), BM_CLICK, 0, 0);
        return WaitForWindow("Select MIME Type");
    }
    // Defines the new type, chooses it and application/pdf, adds the pattern
    // "*.scr", then presses button.
    void EditAndPress(int button)
    {
        // The catalogue folder given with forward slashes, as a Windows path.
        HWND select = OpenSelection(StandardArgs() + " --data-folder \"" + Slashed(folder) + "\"");
        ASSERT_NE(nullptr, select);
        PostMessageA(GetDlgItem(select, IDC_NEW_MIME_TYPE), BM_CLICK, 0, 0);
        HWND newType = WaitForWindow("New MIME Type");
        ASSERT_NE(nullptr, newType);
        SetDlgItemTextA(newType, IDC_MIME_TYPE, kNewType);
        SetDlgItemTextA(newType, IDC_MIME_DESCRIPTION, "Test type of the console");
        PostMessageA(newType, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitGone(newType));

        HWND list = GetDlgItem(select, IDC_MIME_TYPE_LIST);
        for (const char* type : { kNewType, "application/pdf" }) {
            int row = Row(list, type);
            ASSERT_GE(row, 0) << type;
            SendMessageA(list, LB_SETSEL, TRUE, row);
        }
        PostMessageA(select, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitGone(select));

        SetDlgItemTextA(page, IDC_NEW_PATTERN, "*.scr");
        SendMessageA(GetDlgItem(page, IDC_ADD_PATTERN), BM_CLICK, 0, 0);
        PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
    }
    std::string UserCatalogue() { return ReadFile(folder + "\\mimetypes.usr"); }
};

} // namespace

TEST_F(SafeContentConsole, OkStoresExactlyTheChosenTypesAndPatternAndTheNewType)
{
    std::string before = ReadFile(document);
    EditAndPress(PSBTN_OK);
    ASSERT_EQ(0u, WaitForExit());

    std::string expected = Replaced(before, R"("safe_content": "image/gif\nimage/jpeg\nimage/png\ntext/css\ntext/html\ntext/plain")",
                                    R"("safe_content": "application/pdf\napplication/x-veilgate-test\nimage/gif\nimage/jpeg\nimage/png\ntext/css\ntext/html\ntext/plain")");
    expected = Replaced(expected, R"("unsafe_patterns": "*.exe\n*.vbs\n/cgi-bin/*")",
                        R"("unsafe_patterns": "*.exe\n*.scr\n*.vbs\n/cgi-bin/*")");
    EXPECT_EQ(expected, ReadFile(document));
    EXPECT_EQ(std::string(kNewType) + "\tTest type of the console\r\n", UserCatalogue());
}

TEST_F(SafeContentConsole, CancelLeavesTheDocumentByteForByteButKeepsTheDefinedType)
{
    std::string before = ReadFile(document);
    EditAndPress(PSBTN_CANCEL);
    ASSERT_EQ(1u, WaitForExit());
    EXPECT_EQ(before, ReadFile(document));
    // The type was stored when it was defined, before the sheet was cancelled.
    EXPECT_EQ(std::string(kNewType) + "\tTest type of the console\r\n", UserCatalogue());
}

// Without --data-folder the catalogue is the one beside the document, the
// document's path written with "/" as much as with "\".
TEST_F(SafeContentConsole, TheCatalogueBesideADocumentNamedWithSlashesIsOffered)
{
    WriteText(folder + "\\mimetypes", ReadFile(folder + "\\mimetypes") + "application/x-beside\tBeside the document\r\n");
    HWND select = OpenSelection("--document \"" + Slashed(document) + "\" --service http-proxy");
    ASSERT_NE(nullptr, select);
    EXPECT_GE(Row(GetDlgItem(select, IDC_MIME_TYPE_LIST), "application/x-beside"), 0)
        << "the type of the catalogue beside the document is not offered";
    PostMessageA(select, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitGone(select));
    EXPECT_EQ(1u, Press(sheet, PSBTN_CANCEL));
}
