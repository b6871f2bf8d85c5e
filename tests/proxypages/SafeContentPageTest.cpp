// The safe content page in a real sheet, on a document in memory and real
// catalogue files.
#include <gtest/gtest.h>
#include "SafeContentPage.h"
#include "resource.h"
#include "ModalDriver.h"
#include "TempFolder.h"
#include "ListProbe.h"

namespace {

std::string Document(const std::string& proxyMembers, bool withSection = true)
{
    std::string sections = "\"sievex\": { \"activate\": 0 }";
    if (withSection)
        sections = "\"proxy_http\": {" + proxyMembers + "}, " + sections;
    return "{ \"services\": { \"http-proxy\": {" + sections + "} } }\n";
}

struct SafeContentSheet : ::testing::Test
{
    TempFolder folder;
    Beach beach;
    ModalDriver driver;
    HWND hSheet = NULL, page = NULL;

    void Open(const std::string& proxyMembers, bool withSection = true)
    {
        CString error;
        ASSERT_TRUE(beach.openText(Document(proxyMembers, withSection).c_str(), "test.json", error))
            << (LPCTSTR)error;
    }
    // Runs act with the page up, then the steps that more queues (for the
    // dialogs and message boxes act opens), then closes the sheet with button.
    void Run(std::function<void()> act, int button = PSBTN_OK, std::function<void()> more = nullptr)
    {
        SafeContentPage safeContent(&beach, "http-proxy", folder.path().c_str());
        CPropertySheet sheet("HTTP Proxy");
        sheet.AddPage(&safeContent);
        driver.onWindow("HTTP Proxy", [&](HWND h) {
            hSheet = h;
            page = (HWND)SendMessageA(h, PSM_GETCURRENTPAGEHWND, 0, 0);
            act();
        });
        if (more)
            more();
        driver.then([&, button] {
            if (!IsWindowEnabled(hSheet))
                return false;
            PostMessageA(hSheet, PSM_PRESSBUTTON, button, 0);
            return true;
        });
        driver.start();
        sheet.DoModal();
        driver.stop();
        EXPECT_EQ("", driver.failure());
        EXPECT_EQ(nullptr, safeContent.m_section) << "released with the page window";
    }
    HWND Item(int id) const { return GetDlgItem(page, id); }
    Rows Types() const { return ListBoxItems(Item(IDC_SAFE_TYPES)); }
    Rows Patterns() const { return ListBoxItems(Item(IDC_UNSAFE_PATTERNS)); }
    int Current(int id) const { return (int)SendMessageA(Item(id), LB_GETCURSEL, 0, 0); }
    void Select(int id, int row) { SendMessageA(Item(id), LB_SETCURSEL, row, 0), Notify(id, LBN_SELCHANGE); }
    void Notify(int id, int code) { SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)Item(id)); }
    void Type(int id, const char* text) { SetWindowTextA(Item(id), text); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    template <class T>
    bool Stored(const char* key, T& value)
    {
        Quolla* section = beach.digQuolla("proxy_http", "http-proxy");
        QuoValOf<T> holder;
        bool found = section != nullptr && section->getProp(key, holder);
        beach.tossQuolla(section);
        value = holder.value;
        return found;
    }
    std::string StoredText(const char* key)
    {
        CString value;
        EXPECT_TRUE(Stored(key, value)) << key;
        return (LPCTSTR)value;
    }
    int StoredInt(const char* key)
    {
        int value = -1;
        EXPECT_TRUE(Stored(key, value)) << key;
        return value;
    }
};

} // namespace

TEST(SafeContentLists, StoredTextSplitsAtLineFeedsWithoutRemarksOrLeadingBlanks)
{
    struct { const char* text; std::vector<std::string> entries; } cases[] = {
        { "text/html\nimage/gif", { "text/html", "image/gif" } },
        { "\n\ntext/html\n\n\nimage/gif\n", { "text/html", "image/gif" } },
        { "  \ttext/html", { "text/html" } },
        { "image/png # the usual", { "image/png " } },
        { "# only a remark\n   \n\t\nimage/png", { "image/png" } },
        { "text/html\ntext/html\nTEXT/HTML", { "text/html", "text/html", "TEXT/HTML" } },
        { "#\n##\n", {} },
        { "", {} },
    };
    CStringArray entries;
    for (const auto& c : cases) {
        ParseListText(c.text, "\n", entries);
        std::vector<std::string> got;
        for (int i = 0; i < entries.GetSize(); ++i)
            got.push_back((LPCTSTR)entries[i]);
        EXPECT_EQ(c.entries, got) << c.text;
    }
}

TEST_F(SafeContentSheet, StoredListsShowSortedAndEachGroupFollowsItsSwitch)
{
    Open("\"deny_unsafe_content\": 1, \"safe_content\": \"text/html\\nimage/gif\\n  text/css # styles\\n# none\","
         "\"unsafe_patterns\": \"*.exe\\n/cgi-bin/*\"");
    Run([&] {
        EXPECT_EQ((Rows{ "image/gif", "text/css ", "text/html" }), Types());
        EXPECT_EQ((Rows{ "*.exe", "/cgi-bin/*" }), Patterns());
        EXPECT_TRUE(Checked(IDC_ALLOW_ONLY_SAFE));
        EXPECT_FALSE(Checked(IDC_DENY_UNSAFE_PATTERNS)) << "absent switch";
        EXPECT_TRUE(Enabled(IDC_SAFE_TYPES) && Enabled(IDC_ADD_SAFE_TYPE));
        EXPECT_FALSE(Enabled(IDC_REMOVE_SAFE_TYPE)) << "no row selected yet";
        for (int id : { IDC_UNSAFE_PATTERNS, IDC_NEW_PATTERN, IDC_ADD_PATTERN, IDC_REMOVE_PATTERN })
            EXPECT_FALSE(Enabled(id)) << id;
    }, PSBTN_CANCEL);
    EXPECT_EQ("text/html\nimage/gif\n  text/css # styles\n# none", StoredText("safe_content"));
}

TEST_F(SafeContentSheet, OkWritesTheFourKeysInOrderJoinedBySingleLineFeeds)
{
    Open("\"idle_timeout\": 600, \"unsafe_patterns\": \"b\\n\\n  a # first\\nb\"");
    Run([&] {
        EXPECT_FALSE(Checked(IDC_ALLOW_ONLY_SAFE));
        EXPECT_FALSE(Enabled(IDC_SAFE_TYPES) || Enabled(IDC_ADD_SAFE_TYPE) || Enabled(IDC_REMOVE_SAFE_TYPE));
        ClickButton(page, IDC_DENY_UNSAFE_PATTERNS);
    });
    EXPECT_EQ(0, StoredInt("deny_unsafe_content"));
    EXPECT_EQ("", StoredText("safe_content"));
    EXPECT_EQ("a \nb\nb", StoredText("unsafe_patterns"));
    EXPECT_EQ(1, StoredInt("unsafe_patterns_enabled"));
    // New keys follow the order of writing; unsafe_patterns kept its place.
    std::string text = (LPCTSTR)beach.text();
    size_t idle = text.find("idle_timeout"), patterns = text.find("\"unsafe_patterns\""),
           deny = text.find("deny_unsafe_content"), safe = text.find("safe_content"),
           enabled = text.find("unsafe_patterns_enabled");
    EXPECT_TRUE(idle < patterns && patterns < deny && deny < safe && safe < enabled) << text;
}

TEST_F(SafeContentSheet, AServiceWithoutTheSectionShowsDefaultsAndWritesNothing)
{
    Open("", false);
    std::string before = (LPCTSTR)beach.text();
    Run([&] {
        EXPECT_TRUE(Types().empty());
        EXPECT_FALSE(Checked(IDC_ALLOW_ONLY_SAFE) || Checked(IDC_DENY_UNSAFE_PATTERNS));
        ClickButton(page, IDC_ALLOW_ONLY_SAFE);
        ClickButton(page, IDC_DENY_UNSAFE_PATTERNS);
        Type(IDC_NEW_PATTERN, "*.exe");
        ClickButton(page, IDC_ADD_PATTERN);
        EXPECT_EQ(Rows{ "*.exe" }, Patterns());
    });
    EXPECT_EQ(before, (LPCTSTR)beach.text());
}

TEST_F(SafeContentSheet, ChosenTypesJoinOnceAndTheLastChosenRowIsSelected)
{
    folder.write("mimetypes", "TEXT/HTML\tUpper case\nimage/png\tPNG image\napplication/pdf\tPDF\n");
    Open("\"deny_unsafe_content\": 1, \"safe_content\": \"text/html\\ntext/css\"");
    Run([&] { PostMessageA(Item(IDC_ADD_SAFE_TYPE), BM_CLICK, 0, 0); }, PSBTN_OK, [&] {
        driver.onWindow("Select MIME Type", [&](HWND h) {
            HWND list = GetDlgItem(h, IDC_MIME_TYPE_LIST);
            ClickRow(list, 1);                 // image/png
            ClickRow(list, 2, MK_CONTROL);     // TEXT/HTML: text/html is there already
            PostMessageA(h, WM_COMMAND, IDOK, 0);
        });
        driver.then([&] {
            if (!IsWindowEnabled(hSheet))
                return false;
            EXPECT_EQ((Rows{ "image/png", "text/css", "text/html" }), Types());
            EXPECT_EQ(2, Current(IDC_SAFE_TYPES));
            EXPECT_TRUE(Enabled(IDC_REMOVE_SAFE_TYPE));
            EXPECT_EQ(Item(IDC_SAFE_TYPES), GetFocus());

            // Cancelling the selection changes nothing.
            PostMessageA(Item(IDC_ADD_SAFE_TYPE), BM_CLICK, 0, 0);
            return true;
        });
        driver.onWindow("Select MIME Type", [&](HWND h) { PostMessageA(h, WM_COMMAND, IDCANCEL, 0); });
        driver.then([&] {
            if (!IsWindowEnabled(hSheet))
                return false;
            EXPECT_EQ(3u, Types().size());
            EXPECT_EQ(2, Current(IDC_SAFE_TYPES));
            return true;
        });
    });
    EXPECT_EQ("image/png\ntext/css\ntext/html", StoredText("safe_content"));
}

TEST_F(SafeContentSheet, ChosenTypesHoldingANumberSignAreRefusedWithTheNewTypeDialogsMessage)
{
    folder.write("mimetypes", "image/png\tPNG image\ntext/x-a#b\tCut at the sign when read back\n");
    Open("\"deny_unsafe_content\": 1, \"safe_content\": \"text/html\"");
    Run([&] { PostMessageA(Item(IDC_ADD_SAFE_TYPE), BM_CLICK, 0, 0); }, PSBTN_OK, [&] {
        driver.onWindow("Select MIME Type", [&](HWND h) {
            HWND list = GetDlgItem(h, IDC_MIME_TYPE_LIST);
            ClickRow(list, 0);
            ClickRow(list, 1, MK_CONTROL);
            PostMessageA(h, WM_COMMAND, IDOK, 0);
        });
        driver.answerMessageBox();
    });
    EXPECT_EQ(Rows{ "A MIME type cannot hold a tab, a line break or a number sign (#)." }, driver.messages());
    EXPECT_EQ("image/png\ntext/html", StoredText("safe_content"));
}

TEST_F(SafeContentSheet, TheSelectionDialogOpensOverTheSheetThatOwnsIt)
{
    folder.write("mimetypes", "image/png\tPNG image\n");
    Open("\"deny_unsafe_content\": 1");
    Run([&] {
        SetWindowPos(hSheet, NULL, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PostMessageA(Item(IDC_ADD_SAFE_TYPE), BM_CLICK, 0, 0);
    }, PSBTN_CANCEL, [&] {
        driver.onWindow("Select MIME Type", [&](HWND h) {
            RECT d, s;
            GetWindowRect(h, &d);
            GetWindowRect(hSheet, &s);
            EXPECT_EQ(hSheet, GetWindow(h, GW_OWNER));
            EXPECT_NEAR(s.left + s.right, d.left + d.right, 2);
            EXPECT_NEAR(s.top + s.bottom, d.top + d.bottom, 2);
            PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
        });
    });
}

TEST_F(SafeContentSheet, RemovingSelectsTheRowThatTakesThePlaceAndDeleteRemovesToo)
{
    Open("\"deny_unsafe_content\": 1, \"safe_content\": \"a/1\\nb/2\\nc/3\\nd/4\\ne/5\"");
    Run([&] {
        Select(IDC_SAFE_TYPES, 1);
        EXPECT_TRUE(Enabled(IDC_REMOVE_SAFE_TYPE));
        ClickButton(page, IDC_REMOVE_SAFE_TYPE);
        EXPECT_EQ((Rows{ "a/1", "c/3", "d/4", "e/5" }), Types());
        EXPECT_EQ(1, Current(IDC_SAFE_TYPES));

        Select(IDC_SAFE_TYPES, 3);
        ClickButton(page, IDC_REMOVE_SAFE_TYPE);
        EXPECT_EQ(2, Current(IDC_SAFE_TYPES)) << "the new last row";

        // Keys other than Delete keep the list box's own handling.
        SetFocus(Item(IDC_SAFE_TYPES));
        PressKey(Item(IDC_SAFE_TYPES), VK_UP);
        EXPECT_EQ(1, Current(IDC_SAFE_TYPES));
        PressKey(Item(IDC_SAFE_TYPES), VK_DELETE);
        EXPECT_EQ((Rows{ "a/1", "d/4" }), Types());
        EXPECT_EQ(1, Current(IDC_SAFE_TYPES));
        PressKey(Item(IDC_SAFE_TYPES), VK_DELETE);
        PressKey(Item(IDC_SAFE_TYPES), VK_DELETE);
        EXPECT_TRUE(Types().empty());
        EXPECT_FALSE(Enabled(IDC_REMOVE_SAFE_TYPE));
        ClickButton(page, IDC_REMOVE_SAFE_TYPE);  // nothing left to remove
    });
    EXPECT_EQ("", StoredText("safe_content"));
}

TEST_F(SafeContentSheet, SwitchedOffListsKeepTheirRowsAndAreStillSaved)
{
    Open("\"deny_unsafe_content\": 1, \"safe_content\": \"text/html\","
         "\"unsafe_patterns_enabled\": 1, \"unsafe_patterns\": \"*.exe\"");
    Run([&] {
        Select(IDC_SAFE_TYPES, 0);
        Select(IDC_UNSAFE_PATTERNS, 0);
        EXPECT_TRUE(Enabled(IDC_REMOVE_SAFE_TYPE) && Enabled(IDC_REMOVE_PATTERN));
        ClickButton(page, IDC_ALLOW_ONLY_SAFE);
        ClickButton(page, IDC_DENY_UNSAFE_PATTERNS);
        for (int id : { IDC_SAFE_TYPES, IDC_ADD_SAFE_TYPE, IDC_REMOVE_SAFE_TYPE, IDC_UNSAFE_PATTERNS,
                        IDC_NEW_PATTERN, IDC_ADD_PATTERN, IDC_REMOVE_PATTERN })
            EXPECT_FALSE(Enabled(id)) << id;
        ClickButton(page, IDC_ALLOW_ONLY_SAFE);
        EXPECT_TRUE(Enabled(IDC_SAFE_TYPES) && Enabled(IDC_REMOVE_SAFE_TYPE)) << "the row is still selected";
        ClickButton(page, IDC_ALLOW_ONLY_SAFE);
    });
    EXPECT_EQ(0, StoredInt("deny_unsafe_content"));
    EXPECT_EQ("text/html", StoredText("safe_content"));
    EXPECT_EQ(0, StoredInt("unsafe_patterns_enabled"));
    EXPECT_EQ("*.exe", StoredText("unsafe_patterns"));
}

TEST_F(SafeContentSheet, PatternsAreAddedAsTypedOnceAndThoseThatCannotBeStoredAreRefused)
{
    Open("\"unsafe_patterns_enabled\": 1, \"unsafe_patterns\": \"*.exe\"");
    Run([&] {
        struct { const char* typed; Rows rows; } steps[] = {
            { "*.EXE", { "*.exe" } },
            { "", { "*.exe" } },
            { "/a b/*", { "*.exe", "/a b/*" } },
            { "*.vbs ", { "*.exe", "*.vbs ", "/a b/*" } },
        };
        for (const auto& s : steps) {
            Type(IDC_NEW_PATTERN, s.typed);
            ClickButton(page, IDC_ADD_PATTERN);
            EXPECT_EQ(s.rows, Patterns()) << s.typed;
            EXPECT_EQ("", ItemText(page, IDC_NEW_PATTERN)) << s.typed;
        }
        Type(IDC_NEW_PATTERN, "/cgi#bin");
        PostMessageA(Item(IDC_ADD_PATTERN), BM_CLICK, 0, 0);
    }, PSBTN_OK, [&] {
        driver.answerMessageBox();
        driver.then([&] {
            if (!IsWindowEnabled(hSheet))
                return false;
            EXPECT_EQ(3u, Patterns().size());
            EXPECT_EQ("/cgi#bin", ItemText(page, IDC_NEW_PATTERN)) << "kept for correcting";
            EXPECT_EQ(Item(IDC_NEW_PATTERN), GetFocus());
            Select(IDC_UNSAFE_PATTERNS, 0);
            PressKey(Item(IDC_UNSAFE_PATTERNS), VK_DELETE);
            return true;
        });
    });
    ASSERT_EQ(1u, driver.messages().size());
    EXPECT_EQ("A path pattern cannot hold a number sign (#) or a line break: the pattern would not be read "
              "back as typed.",
              driver.messages()[0]);
    EXPECT_EQ("*.vbs \n/a b/*", StoredText("unsafe_patterns"));
}
