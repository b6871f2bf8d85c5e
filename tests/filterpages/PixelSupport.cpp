#include "PixelSupport.h"
#include "afxwin.h"

namespace {

Pixels Read(HDC hdcSource, HBITMAP hSource, int w, int h)
{
    Pixels p;
    p.width = w, p.height = h;
    p.px.resize(w * h);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bits(w * h);
    HDC hdc = CreateCompatibleDC(hdcSource);
    HBITMAP hCopy = hSource;
    if (hCopy == NULL) {
        hCopy = CreateCompatibleBitmap(hdcSource, w, h);
        HGDIOBJ old = SelectObject(hdc, hCopy);
        BitBlt(hdc, 0, 0, w, h, hdcSource, 0, 0, SRCCOPY);
        SelectObject(hdc, old);
    }
    GetDIBits(hdc, hCopy, 0, h, bits.data(), &bi, DIB_RGB_COLORS);
    if (hCopy != hSource)
        DeleteObject(hCopy);
    DeleteDC(hdc);
    for (int i = 0; i < w * h; ++i)
        p.px[i] = RGB((bits[i] >> 16) & 255, (bits[i] >> 8) & 255, bits[i] & 255);
    return p;
}

} // namespace

bool Pixels::SameAs(const Pixels& other, int x, int y, int ox, int oy, int w, int h) const
{
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx)
            if (At(x + dx, y + dy) != other.At(ox + dx, oy + dy))
                return false;
    return true;
}

int Pixels::CountDark(int x, int y, int w, int h) const
{
    int n = 0;
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx) {
            COLORREF c = At(x + dx, y + dy);
            n += GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
        }
    return n;
}

Pixels Pixels::OfClient(HWND hWnd)
{
    UpdateWindow(hWnd);
    RECT rc;
    GetClientRect(hWnd, &rc);
    HDC hdc = GetDC(hWnd);
    Pixels p = Read(hdc, NULL, rc.right, rc.bottom);
    ReleaseDC(hWnd, hdc);
    return p;
}

Pixels Pixels::OfBitmap(UINT nID)
{
    LPCSTR name = MAKEINTRESOURCEA(nID);
    HBITMAP hBitmap = LoadBitmapA(AfxFindResourceHandle(name, RT_BITMAP), name);
    BITMAP bm = {};
    GetObjectA(hBitmap, sizeof bm, &bm);
    HDC hScreen = GetDC(NULL);
    Pixels p = Read(hScreen, hBitmap, bm.bmWidth, bm.bmHeight);
    ReleaseDC(NULL, hScreen);
    DeleteObject(hBitmap);
    return p;
}
