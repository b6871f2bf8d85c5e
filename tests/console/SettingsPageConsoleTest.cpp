// The "Settings" page end to end: edited through its windows in the console's
// process, the file compared after.
#include "ConsoleFixture.h"
#include "resource.h"

namespace {

class SettingsConsole : public Console
{
protected:
    std::string original;
    HWND sheet = NULL, page = NULL;

    // Starts the console; its first page is "Settings".
    void Open()
    {
        original = ReadFile(document);
        Start(StandardArgs());
        ASSERT_NE(nullptr, sheet = WaitForSheet());
        page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    }
    // Three switches on, and a caching proxy of its own typed over the sample's.
    void Edit()
    {
        for (int id : { IDC_REMOVE_COOKIES, IDC_DENY_SUBMISSIONS, IDC_REQUIRE_CONTENT_TYPE })
            SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
        Type(IDC_PROXY_ADDRESS, "192.168.1.20");
        Type(IDC_PROXY_PORT, "3128");
    }
    void Type(int id, const char* text) { TypeInto(GetDlgItem(page, id), text); }
};

} // namespace

TEST_F(SettingsConsole, OkStoresExactlyTheEditedValues)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string expected = original;
    const std::pair<const char*, const char*> edits[] = {
        { "\"remove_cookies\": 0", "\"remove_cookies\": 1" },
        { "\"deny_submissions\": 0", "\"deny_submissions\": 1" },
        { "\"require_content_type\": 0", "\"require_content_type\": 1" },
        { "\"proxy_server\": \"10.0.0.1:8080\"", "\"proxy_server\": \"192.168.1.20:3128\"" },
    };
    for (const auto& e : edits) {
        size_t at = expected.find(e.first);
        ASSERT_NE(std::string::npos, at) << e.first;
        expected.replace(at, strlen(e.first), e.second);
    }
    Edit();
    EXPECT_EQ(0u, Press(sheet, PSBTN_OK));
    EXPECT_EQ(expected, ReadFile(document));
}

TEST_F(SettingsConsole, CancelAfterEditsLeavesTheFileByteForByte)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    Edit();
    EXPECT_EQ(1u, Press(sheet, PSBTN_CANCEL));
    EXPECT_EQ(original, ReadFile(document));
}
