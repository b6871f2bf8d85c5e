#include "Screenshots.h"
#include <commctrl.h>
#include <prsht.h>
#include <gdiplus.h>
#include <vector>

namespace {

struct State
{
    std::string caption;
    std::string folder;
    UINT_PTR timer = 0;
    int page = -1;        // page being captured; -1 before the sheet is up
    int pageCount = 0;
    int written = 0;
    int settleTicks = 0;
    std::string error;
};
State s_state;

bool SavePng(HBITMAP hBitmap, const std::string& path, std::string& error)
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, NULL) != Gdiplus::Ok) {
        error = "GDI+ did not start";
        return false;
    }
    bool ok = false;
    {
        Gdiplus::GpBitmap* bitmap = NULL;
        if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(hBitmap, NULL, &bitmap) == Gdiplus::Ok) {
            // The PNG encoder of GDI+.
            static const CLSID pngEncoder = { 0x557cf406, 0x1a04, 0x11d3,
                                              { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };
            std::wstring wpath(path.size(), L'\0');
            wpath.resize(MultiByteToWideChar(CP_ACP, 0, path.data(), (int)path.size(), &wpath[0], (int)wpath.size()));
            ok = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, wpath.c_str(), &pngEncoder, NULL) == Gdiplus::Ok;
            Gdiplus::DllExports::GdipDisposeImage(bitmap);
        }
        if (!ok)
            error = "could not write " + path;
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

bool CaptureWindow(HWND hWnd, const std::string& path, std::string& error)
{
    RECT r;
    GetWindowRect(hWnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC hScreen = GetDC(NULL);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, w, h);
    HGDIOBJ old = SelectObject(hMem, hBitmap);
    BitBlt(hMem, 0, 0, w, h, hScreen, r.left, r.top, SRCCOPY);
    SelectObject(hMem, old);
    bool ok = SavePng(hBitmap, path, error);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(NULL, hScreen);
    return ok;
}

struct FindSheetData
{
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK FindSheetProc(HWND h, LPARAM l)
{
    FindSheetData* f = reinterpret_cast<FindSheetData*>(l);
    char text[256] = "";
    GetWindowTextA(h, text, sizeof text);
    if (IsWindowVisible(h) && *f->caption == text) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND FindSheet()
{
    FindSheetData find = { &s_state.caption, NULL };
    EnumThreadWindows(GetCurrentThreadId(), FindSheetProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

std::string TabCaption(HWND hTab, int index)
{
    char text[256] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(hTab, TCM_GETITEMA, index, (LPARAM)&item);
    return text;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hSheet = FindSheet();
    if (hSheet == NULL)
        return;
    HWND hTab = (HWND)SendMessageA(hSheet, PSM_GETTABCONTROL, 0, 0);
    if (s_state.page < 0) {
        s_state.pageCount = (int)SendMessageA(hTab, TCM_GETITEMCOUNT, 0, 0);
        s_state.page = 0;
        s_state.settleTicks = 0;
        SetForegroundWindow(hSheet);
        SendMessageA(hSheet, PSM_SETCURSEL, 0, 0);
        return;
    }
    if (s_state.page >= s_state.pageCount) {
        KillTimer(NULL, s_state.timer);
        s_state.timer = 0;
        PostMessageA(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return;
    }
    // Let the page paint completely before taking its picture.
    if (s_state.settleTicks++ < 3) {
        RedrawWindow(hSheet, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return;
    }
    std::string path = s_state.folder + "\\" + ScreenshotFileName(s_state.page + 1, TabCaption(hTab, s_state.page));
    std::string error;
    if (CaptureWindow(hSheet, path, error))
        ++s_state.written;
    else if (s_state.error.empty())
        s_state.error = error;
    ++s_state.page;
    s_state.settleTicks = 0;
    if (s_state.page < s_state.pageCount)
        SendMessageA(hSheet, PSM_SETCURSEL, s_state.page, 0);
}

} // namespace

std::string ScreenshotFileName(int position, const std::string& caption)
{
    char prefix[16];
    wsprintfA(prefix, "%02d-", position);
    std::string name = prefix;
    bool dash = false;
    for (char c : caption) {
        bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (keep) {
            if (dash && name.back() != '-')
                name += '-';
            name += c;
            dash = false;
        } else if (c != '&') {
            dash = true;
        }
    }
    return name + ".png";
}

void StartScreenshots(const std::string& sheetCaption, const std::string& folder)
{
    s_state = State();
    s_state.caption = sheetCaption;
    s_state.folder = folder;
    s_state.timer = SetTimer(NULL, 0, 100, OnTimer);
}

int ScreenshotsWritten() { return s_state.written; }
std::string ScreenshotError() { return s_state.error; }
