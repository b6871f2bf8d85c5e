// Draws the module's bitmaps and icons into a folder:
//
//   DrawPictures.exe FOLDER
//
// Everything is drawn by this program: the schedule header (182 x 29, 256
// colours), the two hour cells (17 x 14, 16 colours, pixel by pixel), and
// the small bitmaps and icons. Shapes and text are drawn with GDI at four
// times the size and averaged down, so edges come out smooth in few colours.
// tools/draw-pictures builds and runs it; the results are committed in
// res/pictures.
#include <windows.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

std::string g_folder;

/////////////////////////////////////////////////////////////////////////////
// Pixels

struct Rgb
{
    int r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t)
{
    return { (int)lround(a.r + (b.r - a.r) * t), (int)lround(a.g + (b.g - a.g) * t),
             (int)lround(a.b + (b.b - a.b) * t) };
}

// An image with straight (not premultiplied) alpha, 0 to 255.
struct Image
{
    int w = 0, h = 0;
    std::vector<Rgb> rgb;
    std::vector<int> alpha;
    Image(int width, int height) : w(width), h(height), rgb(width * height, Rgb{ 0, 0, 0 }), alpha(width * height, 255) {}
};

/////////////////////////////////////////////////////////////////////////////
// A GDI surface at SCALE times the picture's size. Coordinates given to the
// drawing calls are in picture pixels; the key colour marks what nothing
// covered, unless the canvas starts on a background of its own.

const int SCALE = 4;
const COLORREF KEY = RGB(255, 0, 254);

class Canvas
{
public:
    Canvas(int w, int h, double unit = 1.0, COLORREF background = KEY) : m_w(w), m_h(h), m_unit(unit * SCALE)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w * SCALE;
        bi.bmiHeader.biHeight = -h * SCALE;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(NULL);
        m_bitmap = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, (void**)&m_bits, NULL, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        SetGraphicsMode(m_dc, GM_ADVANCED);
        SetBkMode(m_dc, TRANSPARENT);
        for (int i = 0; i < m_w * SCALE * m_h * SCALE; ++i)
            m_bits[i] = Pixel(background);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }

    // A filled polygon; outline of width `line` in colour `edge` when line > 0.
    void Polygon(const std::vector<POINT>& unitPoints, COLORREF fill, double line = 0, COLORREF edge = 0)
    {
        std::vector<POINT> p = Scaled(unitPoints);
        Select(fill, line, edge);
        ::Polygon(m_dc, p.data(), (int)p.size());
        Deselect();
    }
    void Ellipse(double l, double t, double r, double b, COLORREF fill, double line = 0, COLORREF edge = 0)
    {
        Select(fill, line, edge);
        POINT a = Scaled(l, t), z = Scaled(r, b);
        ::Ellipse(m_dc, a.x, a.y, z.x, z.y);
        Deselect();
    }
    void RoundRect(double l, double t, double r, double b, double radius, COLORREF fill, double line = 0,
                   COLORREF edge = 0)
    {
        Select(fill, line, edge);
        POINT a = Scaled(l, t), z = Scaled(r, b);
        int d = (int)lround(2 * radius * m_unit);
        ::RoundRect(m_dc, a.x, a.y, z.x, z.y, d, d);
        Deselect();
    }
    // A stroke through the points, round ends and joins.
    void Line(const std::vector<POINT>& unitPoints, double width, COLORREF colour)
    {
        LOGBRUSH lb = { BS_SOLID, colour, 0 };
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                (DWORD)lround(width * m_unit), &lb, 0, NULL);
        HGDIOBJ old = SelectObject(m_dc, pen);
        std::vector<POINT> p = Scaled(unitPoints);
        Polyline(m_dc, p.data(), (int)p.size());
        SelectObject(m_dc, old);
        DeleteObject(pen);
    }
    // Text from a baseline point, turned counter-clockwise by `degrees`.
    void Text(const char* text, double x, double y, double emHeight, double degrees, COLORREF colour,
              bool bold = false)
    {
        HFONT font = MakeFont(emHeight, degrees, bold);
        HGDIOBJ old = SelectObject(m_dc, font);
        SetTextColor(m_dc, colour);
        SetTextAlign(m_dc, TA_BASELINE | TA_LEFT);
        TextOutA(m_dc, (int)lround(x * SCALE), (int)lround(y * SCALE), text, (int)strlen(text));
        SelectObject(m_dc, old);
        DeleteObject(font);
    }
    // Width of a text, in picture pixels.
    double TextWidth(const char* text, double emHeight, bool bold = false)
    {
        HFONT font = MakeFont(emHeight, 0, bold);
        HGDIOBJ old = SelectObject(m_dc, font);
        SIZE size = {};
        GetTextExtentPoint32A(m_dc, text, (int)strlen(text), &size);
        SelectObject(m_dc, old);
        DeleteObject(font);
        return (double)size.cx / SCALE;
    }

    // Averages each SCALE x SCALE block: the covered share is the alpha,
    // the covered pixels' mean the colour.
    Image Reduce() const
    {
        GdiFlush();
        const uint32_t key = Pixel(KEY);
        Image img(m_w, m_h);
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) {
                int n = 0, r = 0, g = 0, b = 0;
                for (int dy = 0; dy < SCALE; ++dy)
                    for (int dx = 0; dx < SCALE; ++dx) {
                        uint32_t p = m_bits[(y * SCALE + dy) * m_w * SCALE + x * SCALE + dx] & 0xFFFFFF;
                        if (p == key)
                            continue;
                        ++n;
                        r += (p >> 16) & 255, g += (p >> 8) & 255, b += p & 255;
                    }
                int i = y * m_w + x;
                img.alpha[i] = (n * 255 + SCALE * SCALE / 2) / (SCALE * SCALE);
                img.rgb[i] = n ? Rgb{ (r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n } : Rgb{ 0, 0, 0 };
            }
        return img;
    }

private:
    // A colour as the 32-bit surface holds it.
    static uint32_t Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
    // Wine's own Tahoma, without smoothing: the averaging smooths it.
    static HFONT MakeFont(double emHeight, double degrees, bool bold)
    {
        int tenths = (int)lround(degrees * 10);
        return CreateFontA(-(int)lround(emHeight * SCALE), 0, tenths, tenths, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                           ANSI_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           DEFAULT_PITCH, "Tahoma");
    }
    POINT Scaled(double x, double y) const { return { (LONG)lround(x * m_unit), (LONG)lround(y * m_unit) }; }
    std::vector<POINT> Scaled(const std::vector<POINT>& unitPoints) const
    {
        std::vector<POINT> p;
        for (POINT q : unitPoints)
            p.push_back(Scaled(q.x, q.y));
        return p;
    }
    void Select(COLORREF fill, double line, COLORREF edge)
    {
        m_brush = CreateSolidBrush(fill);
        if (line > 0) {
            LOGBRUSH lb = { BS_SOLID, edge, 0 };
            m_pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_ROUND | PS_INSIDEFRAME,
                                 (DWORD)lround(line * m_unit), &lb, 0, NULL);
        } else {
            m_pen = CreatePen(PS_NULL, 0, 0);
        }
        m_oldBrush = SelectObject(m_dc, m_brush);
        m_oldPen = SelectObject(m_dc, m_pen);
    }
    void Deselect()
    {
        SelectObject(m_dc, m_oldBrush);
        SelectObject(m_dc, m_oldPen);
        DeleteObject(m_brush);
        DeleteObject(m_pen);
    }

    int m_w, m_h;
    double m_unit;  // surface pixels per drawing unit
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    uint32_t* m_bits = nullptr;
    HBRUSH m_brush = NULL;
    HPEN m_pen = NULL;
    HGDIOBJ m_oldBrush = NULL, m_oldPen = NULL;
};

/////////////////////////////////////////////////////////////////////////////
// Files

bool g_failed = false;

void Save(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::string path = g_folder + "\\" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (f == NULL || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        fprintf(stderr, "DrawPictures: cannot write %s\n", path.c_str());
        g_failed = true;
    }
    if (f != NULL)
        fclose(f);
    printf("%s\n", name.c_str());
}

void Put16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(x & 255), v.push_back((x >> 8) & 255); }
void Put32(std::vector<uint8_t>& v, uint32_t x) { Put16(v, x & 0xFFFF), Put16(v, x >> 16); }

void PutInfoHeader(std::vector<uint8_t>& v, int w, int h, int bits, int colours)
{
    int stride = ((w * bits + 31) / 32) * 4;
    Put32(v, 40), Put32(v, w), Put32(v, h), Put16(v, 1), Put16(v, bits), Put32(v, BI_RGB);
    Put32(v, stride * h), Put32(v, 2835), Put32(v, 2835), Put32(v, colours), Put32(v, colours);
}

// A bottom-up BMP file: palette indices (4 or 8 bits) or, without a
// palette, 24-bit colour.
std::vector<uint8_t> BmpFile(int w, int h, int bits, const std::vector<Rgb>& palette,
                             const std::vector<int>& indices, const Image* colour = nullptr)
{
    int stride = ((w * bits + 31) / 32) * 4;
    std::vector<uint8_t> v;
    uint32_t offset = 14 + 40 + 4 * (uint32_t)palette.size();
    v.push_back('B'), v.push_back('M');
    Put32(v, offset + stride * h), Put32(v, 0), Put32(v, offset);
    PutInfoHeader(v, w, h, bits, (int)palette.size());
    for (Rgb c : palette)
        v.push_back((uint8_t)c.b), v.push_back((uint8_t)c.g), v.push_back((uint8_t)c.r), v.push_back(0);
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < w; ++x) {
            if (bits == 24) {
                Rgb c = colour->rgb[y * w + x];
                row[3 * x] = (uint8_t)c.b, row[3 * x + 1] = (uint8_t)c.g, row[3 * x + 2] = (uint8_t)c.r;
            } else if (bits == 8) {
                row[x] = (uint8_t)indices[y * w + x];
            } else {
                row[x / 2] |= (uint8_t)(indices[y * w + x] << (x % 2 ? 0 : 4));
            }
        }
        v.insert(v.end(), row.begin(), row.end());
    }
    return v;
}

// An icon file with one 32-bit image (alpha, plus the AND mask older
// readers use) per size.
std::vector<uint8_t> IcoFile(const std::vector<Image>& images)
{
    std::vector<std::vector<uint8_t>> bodies;
    for (const Image& img : images) {
        std::vector<uint8_t> b;
        int maskStride = ((img.w + 31) / 32) * 4;
        PutInfoHeader(b, img.w, img.h * 2, 32, 0);
        b[20] = b[21] = b[22] = b[23] = 0;  // image size: left for readers to work out
        for (int y = img.h - 1; y >= 0; --y)
            for (int x = 0; x < img.w; ++x) {
                Rgb c = img.rgb[y * img.w + x];
                b.push_back((uint8_t)c.b), b.push_back((uint8_t)c.g), b.push_back((uint8_t)c.r);
                b.push_back((uint8_t)img.alpha[y * img.w + x]);
            }
        for (int y = img.h - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < img.w; ++x)
                if (img.alpha[y * img.w + x] < 128)
                    row[x / 8] |= (uint8_t)(0x80 >> (x % 8));
            b.insert(b.end(), row.begin(), row.end());
        }
        bodies.push_back(b);
    }
    std::vector<uint8_t> v;
    Put16(v, 0), Put16(v, 1), Put16(v, (uint32_t)images.size());
    uint32_t offset = 6 + 16 * (uint32_t)images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        v.push_back((uint8_t)images[i].w), v.push_back((uint8_t)images[i].h), v.push_back(0), v.push_back(0);
        Put16(v, 1), Put16(v, 32), Put32(v, (uint32_t)bodies[i].size()), Put32(v, offset);
        offset += (uint32_t)bodies[i].size();
    }
    for (const auto& b : bodies)
        v.insert(v.end(), b.begin(), b.end());
    return v;
}

/////////////////////////////////////////////////////////////////////////////
// The schedule header: 182 x 29, 256 colours. Over the 47-pixel hour-label
// column it reads "Hour"; from each day column's left boundary a thin white
// rule runs up to the right at 45 degrees, and each day's name rises
// between its two rules; behind everything a blue-to-green gradient.

const int HEADER_W = 182, HEADER_H = 29;
const int LABEL_W = 47, COLUMN_W = 17;
const Rgb HEADER_LEFT = { 24, 60, 168 }, HEADER_RIGHT = { 20, 150, 80 }, WHITE = { 255, 255, 255 };

// Palette: 63 gradient steps x 4 degrees of white (none, a quarter, a half,
// three quarters), then white itself.
const int GRADIENT_STEPS = 63, WHITE_STEPS = 4;

void DrawHeader()
{
    Canvas c(HEADER_W, HEADER_H);
    const COLORREF white = RGB(255, 255, 255);
    const double em = 10.5;

    double hourWidth = c.TextWidth("Hour", em, true);
    c.Text("Hour", (LABEL_W - hourWidth) / 2, HEADER_H - 8, em, 0, white, true);

    // Each day's name rises in the band between the rules of its column's
    // two boundaries, its baseline parallel to the right-hand rule and 2.5
    // pixels inside the band (whose width across is 17 / sqrt 2, about 12).
    static const char* const days[7] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    for (int col = 0; col < 7; ++col) {
        double right = LABEL_W + COLUMN_W * (col + 1);
        double y0 = HEADER_H - 3;
        double x0 = right + 1 + (HEADER_H - y0) - 2.5 * sqrt(2.0);
        c.Text(days[col], x0, y0, em, 45, white, true);
    }
    Image img = c.Reduce();

    // The rules: one pixel a row, starting on the bottom row at each column
    // boundary x (the first pixel of a day column) and stepping one to the
    // right for each row up.
    for (int col = 0; col <= 7; ++col)
        for (int k = 0; k < HEADER_H; ++k) {
            int x = LABEL_W + COLUMN_W * col + k, y = HEADER_H - 1 - k;
            if (x < HEADER_W)
                img.alpha[y * HEADER_W + x] = 255;
        }
    std::vector<Rgb> palette;
    for (int g = 0; g < GRADIENT_STEPS; ++g)
        for (int w = 0; w < WHITE_STEPS; ++w)
            palette.push_back(Mix(Mix(HEADER_LEFT, HEADER_RIGHT, (double)g / (GRADIENT_STEPS - 1)), WHITE,
                                  (double)w / WHITE_STEPS));
    palette.push_back(WHITE);
    const int whiteIndex = (int)palette.size() - 1;
    while (palette.size() < 256)
        palette.push_back(Rgb{ 0, 0, 0 });

    std::vector<int> indices(HEADER_W * HEADER_H);
    for (int y = 0; y < HEADER_H; ++y)
        for (int x = 0; x < HEADER_W; ++x) {
            int g = (int)lround((double)x / (HEADER_W - 1) * (GRADIENT_STEPS - 1));
            int w = (int)lround(img.alpha[y * HEADER_W + x] / 255.0 * WHITE_STEPS);
            indices[y * HEADER_W + x] = w >= WHITE_STEPS ? whiteIndex : g * WHITE_STEPS + w;
        }
    Save("schedule-header.bmp", BmpFile(HEADER_W, HEADER_H, 8, palette, indices));
}

/////////////////////////////////////////////////////////////////////////////
// The hour cells: 17 x 14, 16 colours, a raised square. The outer frame is
// mid-grey at the top and left, black at the bottom and right, with white
// top-right and bottom-left corners; inside it a dotted highlight along the
// top and left and a dotted shadow along the bottom and right.

const std::vector<Rgb> VGA = {
    { 0, 0, 0 },     { 128, 0, 0 },   { 0, 128, 0 },   { 128, 128, 0 },   { 0, 0, 128 },   { 128, 0, 128 },
    { 0, 128, 128 }, { 192, 192, 192 }, { 128, 128, 128 }, { 255, 0, 0 }, { 0, 255, 0 },   { 255, 255, 0 },
    { 0, 0, 255 },   { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 },
};
enum { BLACK = 0, TEAL = 6, SILVER = 7, GREY = 8, LIME = 10, WHITE16 = 15 };
const int CELL_W = 17, CELL_H = 14;

void DrawCell(const char* name, int field, int highlight, int shadow)
{
    std::vector<int> px(CELL_W * CELL_H, field);
    for (int y = 0; y < CELL_H; ++y)
        for (int x = 0; x < CELL_W; ++x) {
            int& p = px[y * CELL_W + x];
            bool dot = (x + y) % 2 == 0;
            if (y == 0 || x == 0)
                p = GREY;
            if (y == CELL_H - 1 || x == CELL_W - 1)
                p = BLACK;
            if ((x == CELL_W - 1 && y == 0) || (x == 0 && y == CELL_H - 1))
                p = WHITE16;
            bool inner = x > 0 && y > 0 && x < CELL_W - 1 && y < CELL_H - 1;
            if (inner && dot && (y == 1 || x == 1) && x < CELL_W - 2 && y < CELL_H - 2)
                p = highlight;
            if (inner && dot && (y == CELL_H - 2 || x == CELL_W - 2) && x > 1 && y > 1)
                p = shadow;
        }
    Save(name, BmpFile(CELL_W, CELL_H, 4, VGA, px));
}

/////////////////////////////////////////////////////////////////////////////
// Icons and small bitmaps: simple shapes on a 32-unit square.

typedef void (*Design)(Canvas& c);

const COLORREF INK = RGB(40, 48, 64);

void DesignProxy(Canvas& c)  // a globe with a curved arrow passing in front
{
    c.Ellipse(3, 3, 27, 27, RGB(70, 140, 220), 1.5, RGB(30, 70, 140));
    c.Ellipse(10, 3.5, 20, 26.5, RGB(70, 140, 220), 1.2, RGB(200, 230, 255));
    c.Line({ { 4, 15 }, { 26, 15 } }, 1.2, RGB(200, 230, 255));
    c.Line({ { 6, 9 }, { 24, 9 } }, 1.0, RGB(200, 230, 255));
    c.Line({ { 6, 21 }, { 24, 21 } }, 1.0, RGB(200, 230, 255));
    c.Line({ { 12, 29 }, { 22, 29 }, { 27, 26 } }, 3, RGB(40, 150, 60));
    c.Polygon({ { 25, 21 }, { 31, 28 }, { 23, 30 } }, RGB(40, 150, 60));
}

void DesignAllowed(Canvas& c)  // a white tick on a green disc
{
    c.Ellipse(2, 2, 30, 30, RGB(50, 170, 70), 1.5, RGB(25, 110, 40));
    c.Line({ { 9, 16 }, { 14, 21 }, { 23, 10 } }, 3.5, RGB(255, 255, 255));
}

void DesignDenied(Canvas& c)  // a white bar on a red disc
{
    c.Ellipse(2, 2, 30, 30, RGB(215, 50, 45), 1.5, RGB(140, 25, 25));
    c.RoundRect(7, 13, 25, 19, 1.5, RGB(255, 255, 255));
}

void DesignSchedule(Canvas& c)  // a clock face
{
    c.Ellipse(2, 2, 30, 30, RGB(250, 250, 245), 2.5, RGB(40, 90, 170));
    for (int i = 0; i < 12; ++i) {
        double a = i * 3.14159265 / 6, r0 = i % 3 ? 11 : 9.5;
        c.Line({ { (LONG)lround(16 + r0 * sin(a)), (LONG)lround(16 - r0 * cos(a)) },
                 { (LONG)lround(16 + 12 * sin(a)), (LONG)lround(16 - 12 * cos(a)) } },
               1, INK);
    }
    c.Line({ { 16, 16 }, { 16, 8 } }, 2, INK);
    c.Line({ { 16, 16 }, { 22, 19 } }, 2, INK);
    c.Ellipse(14.5, 14.5, 17.5, 17.5, RGB(200, 40, 40));
}

void DesignCategories(Canvas& c)  // three stacked index cards
{
    c.RoundRect(8, 3, 29, 17, 2, RGB(250, 210, 90), 1, RGB(170, 120, 20));
    c.RoundRect(5, 9, 26, 23, 2, RGB(130, 200, 120), 1, RGB(50, 120, 50));
    c.RoundRect(2, 15, 23, 29, 2, RGB(120, 170, 235), 1, RGB(40, 80, 150));
    c.Line({ { 6, 20 }, { 19, 20 } }, 1.4, RGB(255, 255, 255));
    c.Line({ { 6, 24 }, { 15, 24 } }, 1.4, RGB(255, 255, 255));
}

void DesignException(Canvas& c)  // a shield with a white mark
{
    c.Polygon({ { 16, 2 }, { 28, 6 }, { 27, 17 }, { 16, 30 }, { 5, 17 }, { 4, 6 } }, RGB(60, 110, 190), 1.5,
              RGB(30, 60, 120));
    c.RoundRect(14.5, 8, 17.5, 19, 1.5, RGB(255, 255, 255));
    c.Ellipse(14.3, 21, 17.7, 24.4, RGB(255, 255, 255));
}

void DesignServer(Canvas& c)  // a tower with two drive bays and a lamp
{
    c.RoundRect(8, 2, 24, 30, 2, RGB(200, 205, 215), 1.5, RGB(80, 85, 100));
    c.RoundRect(11, 6, 21, 10, 0.8, RGB(90, 95, 110));
    c.RoundRect(11, 12, 21, 16, 0.8, RGB(90, 95, 110));
    c.Ellipse(18, 24, 21, 27, RGB(40, 200, 60));
}

void DesignGroup(Canvas& c)  // two people, one in front of the other
{
    c.Ellipse(16, 4, 25, 13, RGB(150, 150, 200), 1, RGB(70, 70, 120));
    c.RoundRect(13, 13, 29, 27, 6, RGB(150, 150, 200), 1, RGB(70, 70, 120));
    c.Ellipse(6, 8, 16, 18, RGB(240, 190, 120), 1, RGB(150, 100, 40));
    c.RoundRect(2, 18, 20, 31, 6, RGB(60, 120, 200), 1, RGB(30, 60, 120));
}

void DesignFilter(Canvas& c)  // a funnel
{
    c.Polygon({ { 3, 5 }, { 29, 5 }, { 19, 17 }, { 19, 27 }, { 13, 30 }, { 13, 17 } }, RGB(80, 150, 210), 1.5,
              RGB(30, 70, 130));
    c.Line({ { 7, 8 }, { 25, 8 } }, 1.2, RGB(220, 240, 255));
}

Image Render(Design design, int size, COLORREF background = KEY)
{
    Canvas c(size, size, size / 32.0, background);
    design(c);
    return c.Reduce();
}

void SaveIcon(const char* name, Design design)
{
    Save(name, IcoFile({ Render(design, 32), Render(design, 16) }));
}

// 16 x 16, 24-bit, on the light grey of a dialog's face.
void SaveSmallBitmap(const char* name, Design design)
{
    Image img = Render(design, 16, RGB(192, 192, 192));
    Save(name, BmpFile(img.w, img.h, 24, {}, {}, &img));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: DrawPictures FOLDER\n");
        return 2;
    }
    g_folder = argv[1];
    CreateDirectoryA(g_folder.c_str(), NULL);

    DrawHeader();
    DrawCell("operational-hour.bmp", LIME, SILVER, TEAL);
    DrawCell("nonoperational-hour.bmp", TEAL, GREY, GREY);

    SaveIcon("proxy.ico", DesignProxy);
    SaveIcon("allowed.ico", DesignAllowed);
    SaveIcon("denied.ico", DesignDenied);
    SaveIcon("schedule.ico", DesignSchedule);
    SaveIcon("categories.ico", DesignCategories);
    SaveIcon("exception.ico", DesignException);
    SaveIcon("filter-server.ico", DesignServer);
    SaveIcon("group.ico", DesignGroup);

    SaveSmallBitmap("allowed.bmp", DesignAllowed);
    SaveSmallBitmap("denied.bmp", DesignDenied);
    SaveSmallBitmap("schedule.bmp", DesignSchedule);
    SaveSmallBitmap("filter.bmp", DesignFilter);
    return g_failed ? 1 : 0;
}
