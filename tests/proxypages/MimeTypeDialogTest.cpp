// The MIME type selection and new-type dialogs, on real catalogue files.
#include <gtest/gtest.h>
#include "MimeTypeSelectDlg.h"
#include "NewMimeTypeDlg.h"
#include "resource.h"
#include "ModalDriver.h"
#include "TempFolder.h"
#include "ListProbe.h"
#include <algorithm>

namespace {

std::vector<std::string> Chosen(const MimeTypeSelectDlg& dlg)
{
    std::vector<std::string> chosen;
    for (int i = 0; i < dlg.m_chosenTypes.GetSize(); ++i)
        chosen.push_back((LPCTSTR)dlg.m_chosenTypes[i]);
    return chosen;
}

struct SelectDialog : ::testing::Test
{
    TempFolder folder;
    ModalDriver driver;
    HWND hDlg = NULL;

    HWND List() const { return GetDlgItem(hDlg, IDC_MIME_TYPE_LIST); }
    // Queues act for when the dialog is up, runs it and returns its end code.
    INT_PTR Run(MimeTypeSelectDlg& dlg, std::function<void()> act)
    {
        driver.onWindow("Select MIME Type", [&, act](HWND h) {
            hDlg = h;
            act();
        });
        return RunQueued(dlg);
    }
    INT_PTR RunQueued(CDialog& dlg)
    {
        driver.start();
        INT_PTR result = dlg.DoModal();
        driver.stop();
        EXPECT_EQ("", driver.failure());
        return result;
    }
    // A step that checks the dialog once it is enabled again.
    void ThenOnDialog(std::function<void()> check)
    {
        driver.then([this, check] {
            if (!IsWindowEnabled(hDlg) || FindMessageBox() != NULL)
                return false;
            check();
            return true;
        });
    }
    void Post(HWND h, int id) { PostMessageA(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(h, id)); }
};

} // namespace

TEST_F(SelectDialog, OpensOnTheFirstSortedRowWithItsDetailsAndOkReturnsIt)
{
    folder.write("mimetypes", "text/html\tHTML document\nimage/gif\tGIF image\n");
    MimeTypeSelectDlg dlg(nullptr, folder.path().c_str());
    Rows rows;
    std::string type, description;
    INT_PTR result = Run(dlg, [&] {
        rows = ListBoxItems(List());
        EXPECT_EQ(std::vector<int>{ 0 }, SelectedRows(List()));
        type = ItemText(hDlg, IDC_MIME_TYPE), description = ItemText(hDlg, IDC_MIME_DESCRIPTION);
        Post(hDlg, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((Rows{ "image/gif", "text/html" }), rows);
    EXPECT_EQ("image/gif", type);
    EXPECT_EQ("GIF image", description);
    EXPECT_EQ((std::vector<std::string>{ "image/gif" }), Chosen(dlg));
}

TEST_F(SelectDialog, RowsFollowTheListBoxOwnOrderForEveryKindOfCharacter)
{
    const char* types[] = {
        "application/x-tar", "application/xhtml+xml", "application/x-www-form-urlencoded", "application/x_under",
        "Application/X-TAR", "image/svg+xml", "image/svg", "image/svg-xml", "text/x-c++", "text/x-c",
        "text/x.c", "video/3gpp", "video/3gpp2", "video/3GPP", "audio/L16", "audio/l8", "a/b", "a/B", "A/b",
        "model/x3d+xml", "model/x3d-vrml", "font/woff2", "font/woff", "text/html", "TEXT/HTML", "text/htm",
        "x/'quoted'", "x/quoted", "x/[bracket]", "x/~tilde", "x/!bang", "x/#hash", "x/$dollar", "x/0zero",
    };
    std::string text;
    for (const char* type : types)
        text += std::string(type) + "\tSome description\n";
    folder.write("mimetypes", text);
    MimeTypeSelectDlg dlg(nullptr, folder.path().c_str());
    Rows rows;
    Run(dlg, [&] {
        rows = ListBoxItems(List());
        Post(hDlg, IDCANCEL);
    });
    ASSERT_EQ(sizeof types / sizeof types[0], rows.size());
    // Every row where the list box's own sorting would have put it: never
    // after a row that the list box's comparison puts behind it.
    for (size_t i = 0; i + 1 < rows.size(); ++i)
        EXPECT_NE(CSTR_GREATER_THAN, CompareStringA(GetUserDefaultLCID(), NORM_IGNORECASE, rows[i].c_str(), -1,
                                                    rows[i + 1].c_str(), -1))
            << rows[i] << " before " << rows[i + 1];
    Rows expected(types, types + sizeof types / sizeof types[0]);
    std::sort(expected.begin(), expected.end());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(expected, rows);
}

TEST_F(SelectDialog, ControlClicksChooseSeveralRowsReturnedInListOrder)
{
    folder.write("mimetypes", "text/plain\tPlain text\napplication/pdf\tPDF document\nimage/png\tPNG image\n"
                              "text/html\tHTML document\n");
    folder.write("mimetypes.usr", "text/html\tHypertext\n");
    MimeTypeSelectDlg dlg(nullptr, folder.path().c_str());
    Rows rows;
    std::string type, description;
    INT_PTR result = Run(dlg, [&] {
        rows = ListBoxItems(List());
        ClickRow(List(), 4);
        ClickRow(List(), 0, MK_CONTROL);
        ClickRow(List(), 3, MK_CONTROL);  // the second text/html row
        EXPECT_EQ((std::vector<int>{ 0, 3, 4 }), SelectedRows(List()));
        type = ItemText(hDlg, IDC_MIME_TYPE), description = ItemText(hDlg, IDC_MIME_DESCRIPTION);
        Post(hDlg, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((Rows{ "application/pdf", "image/png", "text/html", "text/html", "text/plain" }), rows);
    // Details follow the row clicked last; a type held twice shows its first entry.
    EXPECT_EQ("text/html", type);
    EXPECT_EQ("HTML document", description);
    EXPECT_EQ((std::vector<std::string>{ "application/pdf", "text/html", "text/plain" }), Chosen(dlg));
}

TEST_F(SelectDialog, DoubleClickConfirmsTheRowClicked)
{
    folder.write("mimetypes", "text/html\tHTML document\nimage/gif\tGIF image\ntext/css\tStyle sheet\n");
    MimeTypeSelectDlg dlg(nullptr, folder.path().c_str());
    INT_PTR result = Run(dlg, [&] { ClickRow(List(), 1, 0, true); });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((std::vector<std::string>{ "text/css" }), Chosen(dlg));
}

TEST_F(SelectDialog, AnEmptyCatalogueAsksForASelectionAndStaysOpen)
{
    MimeTypeSelectDlg dlg(nullptr, folder.path().c_str());
    driver.onWindow("Select MIME Type", [&](HWND h) {
        hDlg = h;
        EXPECT_TRUE(ListBoxItems(List()).empty());
        EXPECT_EQ("", ItemText(hDlg, IDC_MIME_TYPE));
        Post(hDlg, IDOK);
    });
    driver.answerMessageBox();
    ThenOnDialog([&] {
        EXPECT_EQ(List(), GetFocus());
        Post(hDlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, RunQueued(dlg));
    EXPECT_EQ((std::vector<std::string>{ "Please make a selection." }), driver.messages());
    EXPECT_TRUE(Chosen(dlg).empty());
}

TEST_F(SelectDialog, ANewTypeIsAppendedAndListedWithoutSelectingIt)
{
    folder.write("mimetypes", "text/html\tHTML document\nimage/gif\tGIF image\n");
    MimeTypeSelectDlg dlg(nullptr, folder.path().c_str());
    driver.onWindow("Select MIME Type", [&](HWND h) {
        hDlg = h;
        Post(hDlg, IDC_NEW_MIME_TYPE);
    });
    driver.onWindow("New MIME Type", [&](HWND h) {
        SetDlgItemTextA(h, IDC_MIME_TYPE, "application/x-test");
        Post(h, IDOK);
    });
    ThenOnDialog([&] {
        EXPECT_EQ((Rows{ "application/x-test", "image/gif", "text/html" }), ListBoxItems(List()));
        EXPECT_TRUE(SelectedRows(List()).empty());
        EXPECT_EQ("image/gif", ItemText(hDlg, IDC_MIME_TYPE)) << "details keep their text";
        EXPECT_EQ("application/x-test\t\r\n", folder.read("mimetypes.usr"));

        // Cancelling the new-type dialog writes nothing and keeps the list.
        Post(hDlg, IDC_NEW_MIME_TYPE);
    });
    driver.onWindow("New MIME Type", [&](HWND h) {
        SetDlgItemTextA(h, IDC_MIME_TYPE, "application/x-dropped");
        Post(h, IDCANCEL);
    });
    ThenOnDialog([&] {
        EXPECT_EQ(3u, ListBoxItems(List()).size());
        EXPECT_EQ("application/x-test\t\r\n", folder.read("mimetypes.usr"));
        Post(hDlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, RunQueued(dlg));
}

TEST_F(SelectDialog, NewTypesThatCannotBeStoredAreRefusedWithTheEntryToCorrect)
{
    struct { const char* type; const char* description; const char* message; int focus; } cases[] = {
        { "", "Anything", "Please enter a MIME type.", IDC_MIME_TYPE },
        { "text/x a", "", "Spaces are not allowed in entries.", IDC_MIME_TYPE },
        { "text/x#a", "", "A MIME type cannot hold a tab, a line break or a number sign (#).", IDC_MIME_TYPE },
        { "text/x\ta", "", "A MIME type cannot hold a tab, a line break or a number sign (#).", IDC_MIME_TYPE },
        { "text/x-a", "Two\tfields", "A description cannot hold a tab or a line break.", IDC_MIME_DESCRIPTION },
        { "text/x-a", "Two\r\nlines", "A description cannot hold a tab or a line break.", IDC_MIME_DESCRIPTION },
    };
    NewMimeTypeDlg dlg(nullptr, folder.path().c_str());
    HWND hNew = NULL;
    std::vector<std::string> expected;
    driver.onWindow("New MIME Type", [&](HWND h) { hNew = hDlg = h; });
    for (const auto& c : cases) {
        driver.then([&, c] {
            // A multi-line text reaches a single-line edit whole only through WM_SETTEXT.
            SetDlgItemTextA(hNew, IDC_MIME_TYPE, c.type);
            SetDlgItemTextA(hNew, IDC_MIME_DESCRIPTION, c.description);
            Post(hNew, IDOK);
            return true;
        });
        driver.answerMessageBox();
        ThenOnDialog([&, c] { EXPECT_EQ(GetDlgItem(hNew, c.focus), GetFocus()) << c.type << " " << c.description; });
        expected.push_back(c.message);
    }
    driver.then([&] {
        EXPECT_FALSE(folder.exists("mimetypes.usr"));
        SetDlgItemTextA(hNew, IDC_MIME_TYPE, "text/x-fine");
        SetDlgItemTextA(hNew, IDC_MIME_DESCRIPTION, "Fine, 100% (#1)");
        Post(hNew, IDOK);
        return true;
    });
    EXPECT_EQ(IDOK, RunQueued(dlg));
    EXPECT_EQ(expected, driver.messages());
    EXPECT_EQ("text/x-fine\tFine, 100% (#1)\r\n", folder.read("mimetypes.usr"));
}

TEST_F(SelectDialog, AUserCatalogueThatCannotBeWrittenIsReportedAndNothingChanges)
{
    CreateDirectoryA(folder.path("mimetypes.usr").c_str(), NULL);  // no file can be opened there
    NewMimeTypeDlg dlg(nullptr, folder.path().c_str());
    driver.onWindow("New MIME Type", [&](HWND h) {
        hDlg = h;
        SetDlgItemTextA(h, IDC_MIME_TYPE, "text/x-new");
        Post(h, IDOK);
    });
    driver.answerMessageBox();
    ThenOnDialog([&] {
        EXPECT_EQ("text/x-new", ItemText(hDlg, IDC_MIME_TYPE));
        Post(hDlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, RunQueued(dlg));
    ASSERT_EQ(1u, driver.messages().size());
    EXPECT_EQ("The new MIME type could not be added: the file " + folder.path("mimetypes.usr") +
                  " cannot be written. Nothing was changed.",
              driver.messages()[0]);
}
