// Pixels read back from the screen or from the module's bitmaps, for
// comparing what a control drew with the pictures it should have drawn.
#pragma once

#include <windows.h>
#include <vector>

struct Pixels
{
    int width = 0, height = 0;
    std::vector<COLORREF> px;  // RGB() values, row by row from the top

    COLORREF At(int x, int y) const { return px[y * width + x]; }
    // The w x h block at (x, y) equals other's block at (ox, oy).
    bool SameAs(const Pixels& other, int x, int y, int ox, int oy, int w, int h) const;
    // Pixels of the block darker than mid-grey in every channel.
    int CountDark(int x, int y, int w, int h) const;

    // The client area of a window as it is on the screen once the paints
    // still pending are done.
    static Pixels OfClient(HWND hWnd);
    // A bitmap of the module's resources.
    static Pixels OfBitmap(UINT nID);
};
