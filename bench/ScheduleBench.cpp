// The schedule grid's paint: one full paint of the client area (every
// visible cell and label drawn off-screen, then copied) beside one BitBlt
// of the same area, the platform's floor for putting those pixels on the
// screen.
#include "BenchSupport.h"
#include "ScheduleGrid.h"
#include "VeilgateGroup.h"
#include <stdio.h>

namespace {

HDC s_copySource = NULL;

LRESULT CALLBACK CopyOnlyProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hWnd, &ps);
    BitBlt(dc, 0, 0, ScheduleLayout::ClientWidth, ScheduleLayout::ClientHeight, s_copySource, 0, 0, SRCCOPY);
    EndPaint(hWnd, &ps);
    return 0;
}

} // namespace

void BenchSchedule()
{
    const int kPaints = 200;
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 240, 240, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ScheduleGrid grid;
    grid.SetMask(VeilgateGroup::DefaultSchedule());
    grid.Create(10, 10, CWnd::FromHandle(parent), 1);
    UpdateWindow(parent);
    RECT client;
    GetClientRect(grid.m_hWnd, &client);

    double paint = Time([&] {
        for (int i = 0; i < kPaints; ++i) {
            InvalidateRect(grid.m_hWnd, NULL, FALSE);
            UpdateWindow(grid.m_hWnd);
        }
        GdiFlush();
    }) / kPaints;

    HDC window = GetDC(grid.m_hWnd);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, client.right, client.bottom, WHITENESS);
    double blit = Time([&] {
        for (int i = 0; i < kPaints; ++i)
            BitBlt(window, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        GdiFlush();
    }) / kPaints;
    // A window of the grid's size whose paint is just the copy.
    s_copySource = memory;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CopyOnlyProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "VgBenchCopyOnly";
    RegisterClassA(&wc);
    HWND copier = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 10, 10, client.right,
                                  client.bottom, parent, NULL, wc.hInstance, NULL);
    double copyPaint = Time([&] {
        for (int i = 0; i < kPaints; ++i) {
            InvalidateRect(copier, NULL, FALSE);
            UpdateWindow(copier);
        }
        GdiFlush();
    }) / kPaints;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(grid.m_hWnd, window);

    printf("\nschedule grid, %ld x %ld client area; median of %d runs of %d\n", client.right, client.bottom,
           kRuns, kPaints);
    Row("schedule grid: one full paint", paint, "floor: one BitBlt of the same area", blit);
    Row("schedule grid: one full paint", paint, "floor: a paint that only copies that area", copyPaint);
    DestroyWindow(parent);
}
