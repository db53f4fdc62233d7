// SPDX-License-Identifier: GPL-3.0-or-later
/* record.c - records test pages through a real metafile device context
 * (CreateEnhMetaFileW, then ordinary GDI calls), the way Windows reporting
 * programs record their pages. Each page exercises one family of idioms.
 *
 * Build: x86_64-w64-mingw32-gcc -O2 -o record.exe record.c -lgdi32 -lmsimg32
 * Usage: wine record.exe OUTDIR [NAME...]      (no NAME: every page)
 * scripts/gdi-pages.sh rebuilds the pages and their reference pictures.
 */
#include <windows.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#define W 760  /* page width in reference pixels (about 200 mm at 96 dpi) */
#define H 540

static HFONT font(const wchar_t *face, int height, int weight, int italic, int escapement)
{
    LOGFONTW lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = (BYTE)italic;
    lf.lfEscapement = lf.lfOrientation = escapement;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

static void text(HDC dc, int x, int y, const wchar_t *s)
{
    ExtTextOutW(dc, x, y, 0, NULL, s, (UINT)wcslen(s), NULL);
}

/* A label in a small sans face, top-left aligned, transparent. */
static void label(HDC dc, int x, int y, const wchar_t *s)
{
    HFONT f = font(L"Arial", -12, FW_NORMAL, 0, 0);
    HGDIOBJ old = SelectObject(dc, f);
    UINT align = SetTextAlign(dc, TA_LEFT | TA_TOP);
    int mode = SetBkMode(dc, TRANSPARENT);
    COLORREF c = SetTextColor(dc, RGB(0, 0, 0));
    text(dc, x, y, s);
    SetTextColor(dc, c);
    SetBkMode(dc, mode);
    SetTextAlign(dc, align);
    SelectObject(dc, old);
    DeleteObject(f);
}

/* A small 24-bit gradient bitmap drawn with StretchDIBits. */
static void gradient_dib(HDC dc, int x, int y, int w, int h, int sw, int sh, DWORD rop)
{
    BITMAPINFO bmi;
    unsigned char *bits;
    int stride = (sw * 3 + 3) & ~3, i, j;
    memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = sw;
    bmi.bmiHeader.biHeight = sh;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bits = calloc(1, (size_t)stride * sh);
    for (j = 0; j < sh; j++)
        for (i = 0; i < sw; i++) {
            unsigned char *p = bits + j * stride + i * 3;
            p[0] = (unsigned char)(255 * i / (sw > 1 ? sw - 1 : 1));
            p[1] = (unsigned char)(255 * j / (sh > 1 ? sh - 1 : 1));
            p[2] = (unsigned char)(((i / 4 + j / 4) & 1) ? 200 : 40);
        }
    StretchDIBits(dc, x, y, w, h, 0, 0, sw, sh, bits, &bmi, DIB_RGB_COLORS, rop);
    free(bits);
}

/* A 24-bit bitmap selected into a memory DC, for the blit calls. */
static HDC picture_dc(HDC ref, int w, int h, HBITMAP *bmp)
{
    HDC mem = CreateCompatibleDC(ref);
    BITMAPINFO bmi;
    void *bits;
    int i, j;
    memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    *bmp = CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
    for (j = 0; j < h; j++)
        for (i = 0; i < w; i++) {
            DWORD *p = (DWORD *)bits + j * w + i;
            int r = 255 * i / (w - 1), g = 255 * j / (h - 1), b = ((i / 8 + j / 8) & 1) ? 230 : 20;
            *p = (DWORD)((r << 16) | (g << 8) | b);
        }
    SelectObject(mem, *bmp);
    return mem;
}

static HBITMAP mono_bitmap(int w, int h, int kind)
{
    int stride = ((w + 15) / 16) * 2, i, j;
    unsigned char *bits = calloc(1, (size_t)stride * h);
    HBITMAP b;
    for (j = 0; j < h; j++)
        for (i = 0; i < w; i++) {
            int set = kind == 0 ? ((i - w / 2) * (i - w / 2) + (j - h / 2) * (j - h / 2) < (w * w) / 5)
                                : ((i / 6 + j / 6) & 1);
            if (set)
                bits[j * stride + i / 8] |= (unsigned char)(0x80 >> (i % 8));
        }
    b = CreateBitmap(w, h, 1, 1, bits);
    free(bits);
    return b;
}

static void solid_rect(HDC dc, int l, int t, int r, int b, COLORREF c)
{
    HBRUSH br = CreateSolidBrush(c);
    RECT rc = {l, t, r, b};
    FillRect(dc, &rc, br);
    DeleteObject(br);
}

/* ---- pages ------------------------------------------------------------ */

/* Rows of a report cell: hatched fill, a bitmap gradient and six lines. */
static void panel_content(HDC dc, int x, int y, int w, int h, int k)
{
    HBRUSH hb = CreateHatchBrush(k % 6, RGB(40 * k, 80, 200 - 20 * k));
    HGDIOBJ ob = SelectObject(dc, hb);
    HGDIOBJ op = SelectObject(dc, GetStockObject(BLACK_PEN));
    HFONT f = font(L"Times New Roman", -13, FW_NORMAL, 0, 0);
    HGDIOBJ of = SelectObject(dc, f);
    int i;
    Rectangle(dc, x - 20, y - 20, x + w + 20, y + h / 2);
    gradient_dib(dc, x - 10, y + h / 2 - 10, w + 20, h / 2 + 20, 16, 16, SRCCOPY);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (i = 0; i < 6; i++) {
        wchar_t line[80];
        swprintf(line, 80, L"Panel %d line %d: clipped text runs far past the cell", k + 1, i + 1);
        text(dc, x - 15, y - 5 + i * 18, line);
    }
    SelectObject(dc, of);
    SelectObject(dc, op);
    SelectObject(dc, ob);
    DeleteObject(f);
    DeleteObject(hb);
}

static HRGN many_rects_region(int x, int y, int w, int h, int n, int seed)
{
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    int i;
    for (i = 0; i < n; i++) {
        int cx = x + (i * 37 + seed * 11) % w, cy = y + (i * 53 + seed * 7) % h;
        HRGN p = CreateRectRgn(cx, cy, cx + 6 + (i % 5) * 3, cy + 5 + (i % 4) * 3);
        CombineRgn(r, r, p, RGN_OR);
        DeleteObject(p);
    }
    return r;
}

static void frame_between(HDC dc, int x, int y, const wchar_t *s)
{
    HGDIOBJ ob = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HRGN rg = CreateRectRgn(x + 4, y + 4, x + 200, y + 24);
    HBRUSH fb = CreateSolidBrush(RGB(200, 0, 0));
    Rectangle(dc, x, y, x + 204, y + 28);
    FrameRgn(dc, rg, fb, 1, 1);
    label(dc, x + 8, y + 8, s);
    DeleteObject(fb);
    DeleteObject(rg);
    SelectObject(dc, ob);
}

/* The six clipped panels of a report page, each in its own save/restore. */
static void page_clip_panels(HDC dc)
{
    int k;
    for (k = 0; k < 6; k++) {
        int x = 30 + (k % 3) * 245, y = 40 + (k / 3) * 250, w = 200, h = 170;
        HRGN rgn;
        frame_between(dc, x - 10, y - 38, k % 2 ? L"Frame between panels" : L"Cell frame");
        SaveDC(dc);
        switch (k) {
        case 0:
            rgn = CreateRectRgn(x, y, x + w, y + h);
            ExtSelectClipRgn(dc, rgn, RGN_COPY);
            DeleteObject(rgn);
            break;
        case 1:
            rgn = many_rects_region(x, y, w, h, 120, k);
            ExtSelectClipRgn(dc, rgn, RGN_COPY);
            DeleteObject(rgn);
            rgn = CreateRectRgn(x + 10, y + 10, x + w - 10, y + h - 10);
            ExtSelectClipRgn(dc, rgn, RGN_AND);
            DeleteObject(rgn);
            break;
        case 2:
            IntersectClipRect(dc, x, y, x + w, y + h);
            ExcludeClipRect(dc, x + 40, y + 40, x + 90, y + 90);
            ExcludeClipRect(dc, x + 120, y + 100, x + 180, y + 150);
            break;
        case 3:
            rgn = many_rects_region(x - 30, y - 20, w, h, 180, k);
            ExtSelectClipRgn(dc, rgn, RGN_COPY);
            DeleteObject(rgn);
            OffsetClipRgn(dc, 30, 20);
            break;
        case 4:
            rgn = CreateEllipticRgn(x, y, x + w, y + h);
            ExtSelectClipRgn(dc, rgn, RGN_COPY);
            DeleteObject(rgn);
            rgn = many_rects_region(x, y, w, h, 70, k);
            ExtSelectClipRgn(dc, rgn, RGN_AND);
            DeleteObject(rgn);
            break;
        default:
            IntersectClipRect(dc, x + 20, y, x + w - 20, y + h);
            rgn = CreateRectRgn(x, y + 30, x + w, y + h - 30);
            ExtSelectClipRgn(dc, rgn, RGN_AND);
            DeleteObject(rgn);
            OffsetClipRgn(dc, 5, -5);
            break;
        }
        panel_content(dc, x, y, w, h, k);
        RestoreDC(dc, -1);
    }
}

/* Cells of a table, each clipped in a save/restore pair, nested in rows. */
static void page_clip_nested(HDC dc)
{
    HFONT f = font(L"Arial", -14, FW_NORMAL, 0, 0);
    int row, col;
    SelectObject(dc, f);
    SetBkMode(dc, TRANSPARENT);
    for (row = 0; row < 10; row++) {
        int y = 20 + row * 50;
        int level = SaveDC(dc);
        IntersectClipRect(dc, 10, y, W - 10, y + 46);
        solid_rect(dc, 0, y - 5, W, y + 50, row % 2 ? RGB(230, 240, 255) : RGB(255, 250, 220));
        for (col = 0; col < 5; col++) {
            int x = 20 + col * 145;
            SaveDC(dc);
            if ((row + col) % 3 == 0)
                IntersectClipRect(dc, x, y + 4, x + 120, y + 40);
            else if ((row + col) % 3 == 1) {
                HRGN r = CreateRectRgn(x, y + 4, x + 120, y + 40);
                ExtSelectClipRgn(dc, r, RGN_AND);
                DeleteObject(r);
            } else {
                IntersectClipRect(dc, x, y + 4, x + 130, y + 40);
                ExcludeClipRect(dc, x + 120, y, x + 140, y + 46);
            }
            SaveDC(dc);
            SetTextColor(dc, RGB(20 * col, 0, 30 * row % 255));
            text(dc, x - 5, y + 8, L"Clipped cell text that is much too long");
            text(dc, x - 5, y + 24, L"1.234.567,89 TL");
            RestoreDC(dc, -1);
            RestoreDC(dc, -1);
        }
        if (row % 3 == 0) {
            SaveDC(dc);
            SaveDC(dc);
            IntersectClipRect(dc, 0, 0, 5, 5);
            RestoreDC(dc, level); /* an absolute level unwinds all three */
        } else {
            RestoreDC(dc, -1);
        }
        MoveToEx(dc, 10, y + 47, NULL);
        LineTo(dc, W - 10, y + 47);
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

/* Clip regions combined in every mode. */
static void page_clip_modes(HDC dc)
{
    static const int modes[] = {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY};
    static const wchar_t *names[] = {L"RGN_AND", L"RGN_OR", L"RGN_XOR", L"RGN_DIFF", L"RGN_COPY"};
    HBRUSH hb = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 90, 0));
    int i;
    for (i = 0; i < 10; i++) {
        int x = 20 + (i % 5) * 148, y = 30 + (i / 5) * 260;
        HRGN a = CreateEllipticRgn(x, y, x + 100, y + 100);
        HRGN b = i < 5 ? CreateRectRgn(x + 40, y + 40, x + 130, y + 170) : CreateRoundRectRgn(x + 30, y + 30, x + 130, y + 190, 30, 30);
        label(dc, x, y - 18, names[i % 5]);
        SaveDC(dc);
        if (i == 6)
            IntersectClipRect(dc, x, y, x + 140, y + 200); /* OR onto a clip that exists */
        if (i != 1)
            ExtSelectClipRgn(dc, a, i == 6 ? RGN_AND : RGN_COPY);
        ExtSelectClipRgn(dc, b, modes[i % 5]);
        SelectObject(dc, hb);
        Rectangle(dc, x - 10, y - 10, x + 140, y + 200);
        solid_rect(dc, x + 10, y + 150, x + 120, y + 170, RGB(220, 60, 0));
        RestoreDC(dc, -1);
        DeleteObject(a);
        DeleteObject(b);
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(hb);
}

/* Clip to paths, polygon regions and an empty region. */
static void page_clip_path(HDC dc)
{
    POINT star[5];
    HFONT f = font(L"Arial", -90, FW_BOLD, 0, 0);
    int i;
    for (i = 0; i < 5; i++) {
        double a = -M_PI / 2 + i * 4 * M_PI / 5;
        star[i].x = 130 + (int)(110 * cos(a));
        star[i].y = 140 + (int)(110 * sin(a));
    }
    SaveDC(dc);
    SetPolyFillMode(dc, WINDING);
    BeginPath(dc);
    Polygon(dc, star, 5);
    EndPath(dc);
    SelectClipPath(dc, RGN_COPY);
    gradient_dib(dc, 10, 20, 250, 250, 32, 32, SRCCOPY);
    RestoreDC(dc, -1);

    SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, f);
    BeginPath(dc);
    text(dc, 290, 40, L"CLIP");
    EndPath(dc);
    SelectClipPath(dc, RGN_COPY);
    gradient_dib(dc, 280, 30, 300, 120, 8, 8, SRCCOPY);
    RestoreDC(dc, -1);

    SaveDC(dc);
    {
        POINT tri[3] = {{300, 500}, {500, 220}, {700, 500}};
        HRGN p = CreatePolygonRgn(tri, 3, ALTERNATE);
        ExtSelectClipRgn(dc, p, RGN_COPY);
        DeleteObject(p);
        BeginPath(dc);
        Ellipse(dc, 420, 300, 580, 460);
        EndPath(dc);
        SelectClipPath(dc, RGN_DIFF);
        solid_rect(dc, 280, 200, 720, 520, RGB(0, 70, 160));
    }
    RestoreDC(dc, -1);

    SaveDC(dc);
    {
        HRGN e = CreateRectRgn(0, 0, 0, 0);
        ExtSelectClipRgn(dc, e, RGN_COPY); /* an empty clip hides everything */
        DeleteObject(e);
        solid_rect(dc, 20, 300, 250, 500, RGB(255, 0, 0));
    }
    RestoreDC(dc, -1);
    SaveDC(dc);
    IntersectClipRect(dc, 60, 330, 200, 470);
    ExtSelectClipRgn(dc, NULL, RGN_COPY); /* a null region removes the clip */
    solid_rect(dc, 40, 310, 230, 490, RGB(250, 200, 0));
    RestoreDC(dc, -1);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

/* Region drawing calls. */
static void page_regions(HDC dc)
{
    HRGN a = CreateEllipticRgn(20, 20, 220, 180);
    HRGN b = CreateRectRgn(120, 100, 320, 260);
    HRGN c = CreateRectRgn(0, 0, 0, 0);
    HBRUSH red = CreateSolidBrush(RGB(200, 30, 30)), hatch = CreateHatchBrush(HS_CROSS, RGB(0, 0, 160));
    CombineRgn(c, a, b, RGN_XOR);
    FillRgn(dc, c, red);
    FrameRgn(dc, c, hatch, 3, 5);
    OffsetRgn(c, 380, 0);
    SelectObject(dc, hatch);
    PaintRgn(dc, c);
    FrameRgn(dc, c, (HBRUSH)GetStockObject(BLACK_BRUSH), 1, 1);
    OffsetRgn(c, -380, 280);
    gradient_dib(dc, 10, 290, 340, 240, 12, 12, SRCCOPY);
    InvertRgn(dc, c);
    {
        HRGN r = CreateRoundRectRgn(400, 300, 700, 500, 60, 40);
        FillRgn(dc, r, (HBRUSH)GetStockObject(GRAY_BRUSH));
        FrameRgn(dc, r, red, 8, 2);
        DeleteObject(r);
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(a); DeleteObject(b); DeleteObject(c);
    DeleteObject(red); DeleteObject(hatch);
}

/* The same little form drawn in a given map mode; units per inch given. */
static void form_in_units(HDC dc, int upi, int ydown)
{
    int s = ydown ? 1 : -1, i;
    HFONT f = font(L"Arial", -upi / 6, FW_NORMAL, 0, 0);
    HPEN pen = CreatePen(PS_SOLID, upi / 48, RGB(0, 0, 120));
    HGDIOBJ of = SelectObject(dc, f), op = SelectObject(dc, pen);
    HBRUSH hb = CreateHatchBrush(HS_BDIAGONAL, RGB(0, 120, 0));
    SetBkMode(dc, TRANSPARENT);
    for (i = 0; i < 5; i++) {
        int y = s * (upi / 4 + i * upi / 2);
        Rectangle(dc, upi / 4, y, 7 * upi / 2, y + s * upi / 2);
        text(dc, upi / 3, y + s * upi / 10, L"Ürün adı / açıklama");
        MoveToEx(dc, 2 * upi, y, NULL);
        LineTo(dc, 2 * upi, y + s * upi / 2);
    }
    SelectObject(dc, hb);
    Ellipse(dc, 4 * upi, s * upi / 4, 7 * upi, s * 2 * upi);
    SelectObject(dc, of);
    SelectObject(dc, op);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(f); DeleteObject(pen); DeleteObject(hb);
}

static void page_map_twips(HDC dc)
{
    SetMapMode(dc, MM_TWIPS);
    SetViewportOrgEx(dc, 20, 10, NULL);
    form_in_units(dc, 1440, 0);
}

static void page_map_metric(HDC dc)
{
    SaveDC(dc);
    SetMapMode(dc, MM_LOMETRIC);
    SetViewportOrgEx(dc, 10, 10, NULL);
    form_in_units(dc, 254, 0);
    RestoreDC(dc, -1);
    SaveDC(dc);
    SetMapMode(dc, MM_HIENGLISH);
    SetViewportOrgEx(dc, 400, 300, NULL);
    SetWindowOrgEx(dc, 0, 0, NULL);
    {
        HPEN p = CreatePen(PS_SOLID, 20, RGB(160, 0, 0));
        SelectObject(dc, p);
        Ellipse(dc, 0, 0, 2000, -1500);
        label(dc, 100, -700, L"MM_HIENGLISH");
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(p);
    }
    RestoreDC(dc, -1);
}

static void page_map_aniso(HDC dc)
{
    int i;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1000, 1000, NULL);
    SetViewportExtEx(dc, 360, 250, NULL);
    SetWindowOrgEx(dc, 0, 0, NULL);
    SetViewportOrgEx(dc, 10, 10, NULL);
    form_in_units(dc, 300, 1);
    SetWindowOrgEx(dc, -200, 100, NULL);
    SetViewportOrgEx(dc, 380, 10, NULL);
    SetViewportExtEx(dc, 180, -250, NULL);
    SetWindowExtEx(dc, 500, 500, NULL);
    for (i = 0; i < 8; i++)
        Rectangle(dc, i * 60, -i * 60, i * 60 + 50, -i * 60 - 50);
    label(dc, 0, -10, L"y flipped");
    ScaleViewportExtEx(dc, 3, 2, 1, 1, NULL);
    SetViewportOrgEx(dc, 60, 300, NULL);
    SetWindowOrgEx(dc, 0, 0, NULL);
    SetMapMode(dc, MM_ISOTROPIC);
    SetWindowExtEx(dc, 100, 100, NULL);
    SetViewportExtEx(dc, 400, 200, NULL);
    Ellipse(dc, 0, 0, 100, 100);
    Rectangle(dc, 110, 0, 190, 100);
    label(dc, 0, 100, L"isotropic");
    ScaleWindowExtEx(dc, 2, 1, 2, 1, NULL);
    RoundRect(dc, 200, 0, 260, 80, 20, 20);
}

static void page_world(HDC dc)
{
    XFORM x;
    int i;
    HFONT f = font(L"Arial", -20, FW_NORMAL, 0, 0);
    SetGraphicsMode(dc, GM_ADVANCED);
    SelectObject(dc, f);
    SetBkMode(dc, TRANSPARENT);
    for (i = 0; i < 8; i++) {
        double a = i * M_PI / 8;
        x.eM11 = (FLOAT)cos(a); x.eM12 = (FLOAT)sin(a);
        x.eM21 = (FLOAT)-sin(a); x.eM22 = (FLOAT)cos(a);
        x.eDx = 200; x.eDy = 200;
        SetWorldTransform(dc, &x);
        Rectangle(dc, 20, -8, 170, 8);
        text(dc, 30, -30, L"Döndürülmüş");
    }
    x.eM11 = 1; x.eM12 = 0; x.eM21 = 0.5f; x.eM22 = 1; x.eDx = 420; x.eDy = 40;
    SetWorldTransform(dc, &x);
    Rectangle(dc, 0, 0, 200, 100);
    text(dc, 10, 30, L"Shear");
    x.eM11 = 1.5f; x.eM12 = 0; x.eM21 = 0; x.eM22 = 0.7f; x.eDx = 0; x.eDy = 200;
    ModifyWorldTransform(dc, &x, MWT_RIGHTMULTIPLY);
    Ellipse(dc, 0, 0, 120, 120);
    gradient_dib(dc, 130, 0, 100, 100, 8, 8, SRCCOPY);
    x.eM11 = -1; x.eM12 = 0; x.eM21 = 0; x.eM22 = 1; x.eDx = 0; x.eDy = 0;
    ModifyWorldTransform(dc, &x, MWT_IDENTITY);
    x.eDx = 740; x.eDy = 400;
    ModifyWorldTransform(dc, &x, MWT_LEFTMULTIPLY);
    Rectangle(dc, 0, 0, 150, 100);
    text(dc, 10, 10, L"Mirrored");
    ModifyWorldTransform(dc, NULL, MWT_IDENTITY);
    SetGraphicsMode(dc, GM_COMPATIBLE);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

static void page_hatch(HDC dc)
{
    int i, j;
    SetBkColor(dc, RGB(255, 255, 180));
    for (j = 0; j < 3; j++)
        for (i = 0; i < 6; i++) {
            HBRUSH b = CreateHatchBrush(i, RGB(40 * i, 0, 200 - 60 * j));
            int x = 20 + i * 122, y = 30 + j * 170;
            SetBkMode(dc, j == 1 ? TRANSPARENT : OPAQUE);
            if (j == 2)
                SetBrushOrgEx(dc, 3 + i, 5, NULL);
            SelectObject(dc, b);
            Rectangle(dc, x, y, x + 110, y + 140);
            Ellipse(dc, x + 20, y + 20, x + 90, y + 90);
            SelectObject(dc, GetStockObject(WHITE_BRUSH));
            DeleteObject(b);
        }
    SetBrushOrgEx(dc, 0, 0, NULL);
}

static void page_pattern(HDC dc)
{
    HBITMAP mono = mono_bitmap(8, 8, 0);
    HBRUSH b1 = CreatePatternBrush(mono);
    BYTE packed[sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD) + 32 * 4];
    BITMAPINFO *bi = (BITMAPINFO *)packed;
    HBRUSH b2, b3;
    int i, j;
    memset(packed, 0, sizeof packed);
    bi->bmiHeader.biSize = sizeof bi->bmiHeader;
    bi->bmiHeader.biWidth = 12;
    bi->bmiHeader.biHeight = 12;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = 1;
    bi->bmiColors[0].rgbRed = 200; bi->bmiColors[0].rgbGreen = 60;
    bi->bmiColors[1].rgbBlue = 220; bi->bmiColors[1].rgbGreen = 220;
    for (j = 0; j < 12; j++)
        for (i = 0; i < 12; i++)
            if ((i + j) % 5 == 0 || i == j)
                packed[sizeof(BITMAPINFOHEADER) + 8 + j * 4 + i / 8] |= (BYTE)(0x80 >> (i % 8));
    b2 = CreateDIBPatternBrushPt(packed, DIB_RGB_COLORS);
    {
        HBITMAP mono2 = mono_bitmap(16, 16, 1);
        b3 = CreatePatternBrush(mono2);
        DeleteObject(mono2);
    }
    for (j = 0; j < 3; j++) {
        HBRUSH b = j == 0 ? b1 : j == 1 ? b2 : b3;
        SelectObject(dc, b);
        for (i = 0; i < 4; i++) {
            int x = 20 + i * 185, y = 20 + j * 175;
            SetTextColor(dc, i % 2 ? RGB(0, 0, 160) : RGB(0, 0, 0));
            SetBkColor(dc, i % 2 ? RGB(255, 230, 200) : RGB(255, 255, 255));
            SetBrushOrgEx(dc, i * 3, i * 2 + j, NULL);
            Rectangle(dc, x, y, x + 170, y + 150);
            PatBlt(dc, x + 30, y + 30, 60, 60, i == 3 ? PATINVERT : PATCOPY);
        }
    }
    SetBrushOrgEx(dc, 0, 0, NULL);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(b1); DeleteObject(b2); DeleteObject(b3); DeleteObject(mono);
}

static void page_pens_cosmetic(HDC dc)
{
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    int i, w;
    for (i = 0; i < 7; i++)
        for (w = 0; w < 3; w++) {
            HPEN p = CreatePen(styles[i], w, RGB(30 * i, 0, 100 * w));
            int y = 20 + i * 40 + w * 12;
            SelectObject(dc, p);
            SetBkMode(dc, w == 1 ? OPAQUE : TRANSPARENT);
            SetBkColor(dc, RGB(255, 220, 0));
            MoveToEx(dc, 20, y, NULL);
            LineTo(dc, 360, y);
            SelectObject(dc, GetStockObject(BLACK_PEN));
            DeleteObject(p);
        }
    {
        LOGBRUSH lb = {BS_SOLID, RGB(0, 0, 200), 0};
        DWORD user[] = {6, 2, 1, 2};
        HPEN a = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, NULL);
        HPEN u = ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 4, user);
        SelectObject(dc, a);
        Rectangle(dc, 400, 20, 740, 140);
        MoveToEx(dc, 400, 160, NULL);
        LineTo(dc, 740, 260);
        SelectObject(dc, u);
        Ellipse(dc, 400, 280, 740, 500);
        MoveToEx(dc, 20, 320, NULL);
        LineTo(dc, 360, 520);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(a); DeleteObject(u);
    }
    for (i = 0; i < 5; i++) {
        HPEN p = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
        SelectObject(dc, p);
        MoveToEx(dc, 20 + i * 60, 340, NULL);
        LineTo(dc, 20 + i * 60 + 40, 500);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(p);
    }
}

static void page_pens_geometric(HDC dc)
{
    static const DWORD caps[] = {PS_ENDCAP_ROUND, PS_ENDCAP_SQUARE, PS_ENDCAP_FLAT};
    static const DWORD joins[] = {PS_JOIN_ROUND, PS_JOIN_BEVEL, PS_JOIN_MITER};
    static const DWORD styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT};
    int c, j, s;
    LOGBRUSH lb = {BS_SOLID, RGB(0, 60, 160), 0};
    for (c = 0; c < 3; c++)
        for (j = 0; j < 3; j++) {
            HPEN p = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | caps[c] | joins[j], 14, &lb, 0, NULL);
            POINT pts[4];
            int x = 30 + j * 120, y = 30 + c * 110;
            pts[0].x = x; pts[0].y = y + 80;
            pts[1].x = x + 40; pts[1].y = y;
            pts[2].x = x + 80; pts[2].y = y + 80;
            pts[3].x = x + 95; pts[3].y = y + 20;
            SelectObject(dc, p);
            Polyline(dc, pts, 4);
            SelectObject(dc, GetStockObject(BLACK_PEN));
            DeleteObject(p);
        }
    for (s = 0; s < 4; s++) {
        LOGBRUSH lb2 = {BS_SOLID, RGB(160, 0, 40 * s), 0};
        HPEN p = ExtCreatePen(PS_GEOMETRIC | styles[s] | PS_ENDCAP_FLAT, 2 + s * 3, &lb2, 0, NULL);
        SelectObject(dc, p);
        MoveToEx(dc, 420, 40 + s * 40, NULL);
        LineTo(dc, 740, 40 + s * 40);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(p);
    }
    {
        LOGBRUSH hb = {BS_HATCHED, RGB(0, 120, 0), HS_DIAGCROSS};
        HPEN p = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_MITER, 20, &hb, 0, NULL);
        DWORD user[] = {20, 10, 5, 10};
        LOGBRUSH lb3 = {BS_SOLID, RGB(0, 0, 0), 0};
        HPEN u = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, 6, &lb3, 4, user);
        HPEN inside = CreatePen(PS_INSIDEFRAME, 12, RGB(200, 100, 0));
        SelectObject(dc, p);
        Rectangle(dc, 430, 220, 600, 330);
        SelectObject(dc, u);
        Ellipse(dc, 620, 220, 740, 340);
        SelectObject(dc, inside);
        Rectangle(dc, 430, 360, 600, 500);
        Ellipse(dc, 620, 360, 740, 500);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(p); DeleteObject(u); DeleteObject(inside);
    }
    {
        HPEN thick = CreatePen(PS_SOLID, 9, RGB(0, 0, 0));
        SelectObject(dc, thick);
        Rectangle(dc, 40, 380, 180, 500);
        RoundRect(dc, 210, 380, 380, 500, 40, 40);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(thick);
    }
}

static void star_path(HDC dc, int cx, int cy, int r)
{
    POINT pts[7];
    int i;
    for (i = 0; i < 7; i++) {
        double a = -M_PI / 2 + i * 6 * M_PI / 7;
        pts[i].x = cx + (int)(r * cos(a));
        pts[i].y = cy + (int)(r * sin(a));
    }
    Polygon(dc, pts, 7);
}

static void page_paths(HDC dc)
{
    int m, k;
    HBRUSH b = CreateSolidBrush(RGB(90, 160, 230));
    HPEN p = CreatePen(PS_SOLID, 3, RGB(120, 0, 0));
    SelectObject(dc, b);
    SelectObject(dc, p);
    for (m = 0; m < 2; m++) {
        SetPolyFillMode(dc, m ? WINDING : ALTERNATE);
        for (k = 0; k < 3; k++) {
            int x = 20 + k * 250, y = 20 + m * 260;
            BeginPath(dc);
            star_path(dc, x + 80, y + 80, 75);
            Rectangle(dc, x + 140, y + 30, x + 220, y + 200);
            Ellipse(dc, x + 150, y + 150, x + 230, y + 230);
            MoveToEx(dc, x, y + 200, NULL);
            {
                POINT bz[3] = {{x + 30, y + 150}, {x + 90, y + 250}, {x + 120, y + 200}};
                PolyBezierTo(dc, bz, 3);
            }
            LineTo(dc, x + 10, y + 240);
            CloseFigure(dc);
            ArcTo(dc, x + 40, y + 160, x + 140, y + 240, x + 140, y + 200, x + 40, y + 200);
            EndPath(dc);
            if (k == 0)
                FillPath(dc);
            else if (k == 1)
                StrokeAndFillPath(dc);
            else
                StrokePath(dc);
        }
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(b); DeleteObject(p);
}

static void page_text_path(HDC dc)
{
    HFONT f = font(L"Times New Roman", -72, FW_BOLD, 0, 0);
    HFONT g = font(L"Arial", -60, FW_NORMAL, 1, 150);
    HBRUSH hb = CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 200));
    HPEN p = CreatePen(PS_SOLID, 2, RGB(160, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, f);
    BeginPath(dc);
    text(dc, 20, 20, L"Outlined");
    EndPath(dc);
    SelectObject(dc, p);
    StrokePath(dc);
    BeginPath(dc);
    text(dc, 20, 120, L"Filled text");
    EndPath(dc);
    SelectObject(dc, hb);
    FillPath(dc);
    SelectObject(dc, g);
    BeginPath(dc);
    text(dc, 40, 340, L"Both, tilted");
    EndPath(dc);
    StrokeAndFillPath(dc);
    SelectObject(dc, f);
    SetTextAlign(dc, TA_BASELINE | TA_CENTER);
    BeginPath(dc);
    text(dc, 560, 480, L"Path");
    Rectangle(dc, 420, 400, 700, 500);
    EndPath(dc);
    SelectObject(dc, GetStockObject(GRAY_BRUSH));
    SetPolyFillMode(dc, ALTERNATE);
    StrokeAndFillPath(dc);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f); DeleteObject(g); DeleteObject(hb); DeleteObject(p);
}

static void page_eto_options(HDC dc)
{
    HFONT f = font(L"Arial", -18, FW_NORMAL, 0, 0);
    static const UINT opts[] = {0, ETO_OPAQUE, ETO_CLIPPED, ETO_OPAQUE | ETO_CLIPPED};
    static const wchar_t *names[] = {L"none", L"ETO_OPAQUE", L"ETO_CLIPPED", L"OPAQUE|CLIPPED"};
    int i, m;
    SelectObject(dc, f);
    SetBkColor(dc, RGB(255, 230, 120));
    for (m = 0; m < 2; m++)
        for (i = 0; i < 4; i++) {
            int y = 20 + (m * 4 + i) * 64;
            RECT r = {180, y, 420, y + 30};
            const wchar_t *s = L"Kalem açıklaması taşıyor";
            SetBkMode(dc, m ? OPAQUE : TRANSPARENT);
            label(dc, 20, y + 4, names[i]);
            ExtTextOutW(dc, 170, y + 4, opts[i], &r, s, (UINT)wcslen(s), NULL);
            {
                RECT q = {460, y - 6, 740, y + 40};
                ExtTextOutW(dc, 470, y + 2, opts[i], &q, L"1.250,00", 8, NULL);
            }
        }
    {
        RECT r = {40, 500, 740, 530};
        SetBkColor(dc, RGB(200, 220, 255));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, NULL, 0, NULL); /* fill only */
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

static void page_eto_glyphs(HDC dc)
{
    HFONT f = font(L"Arial", -26, FW_NORMAL, 0, 0);
    HFONT t = font(L"Times New Roman", -30, FW_NORMAL, 1, 0);
    const wchar_t *s = L"Glyph indexes: Tutar 1.234";
    WORD glyphs[64];
    INT dx[64];
    int n = (int)wcslen(s), i;
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, f);
    GetGlyphIndicesW(dc, s, n, glyphs, 0);
    ExtTextOutW(dc, 20, 20, ETO_GLYPH_INDEX, NULL, (LPCWSTR)glyphs, (UINT)n, NULL);
    for (i = 0; i < n; i++)
        dx[i] = 18;
    ExtTextOutW(dc, 20, 80, ETO_GLYPH_INDEX, NULL, (LPCWSTR)glyphs, (UINT)n, dx);
    {
        GCP_RESULTSW gcp;
        WCHAR outs[64];
        memset(&gcp, 0, sizeof gcp);
        gcp.lStructSize = sizeof gcp;
        gcp.lpGlyphs = glyphs;
        gcp.lpDx = dx;
        gcp.lpOutString = outs;
        gcp.nGlyphs = 64;
        GetCharacterPlacementW(dc, s, n, 0, &gcp, GCP_USEKERNING);
        ExtTextOutW(dc, 20, 140, ETO_GLYPH_INDEX, NULL, (LPCWSTR)glyphs, gcp.nGlyphs, dx);
    }
    SelectObject(dc, t);
    GetGlyphIndicesW(dc, s, n, glyphs, 0);
    {
        RECT r = {20, 200, 400, 240};
        SetBkColor(dc, RGB(220, 255, 220));
        ExtTextOutW(dc, 30, 204, ETO_GLYPH_INDEX | ETO_OPAQUE | ETO_CLIPPED, &r, (LPCWSTR)glyphs, (UINT)n, NULL);
    }
    SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
    ExtTextOutW(dc, 740, 320, ETO_GLYPH_INDEX, NULL, (LPCWSTR)glyphs, (UINT)n, NULL);
    SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
    ExtTextOutW(dc, 380, 420, ETO_GLYPH_INDEX, NULL, (LPCWSTR)glyphs, (UINT)n, NULL);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f); DeleteObject(t);
}

static void page_eto_rtl(HDC dc)
{
    HFONT f = font(L"Arial", -24, FW_NORMAL, 0, 0);
    const wchar_t *he = L"\x05e9\x05dc\x05d5\x05dd \x05e2\x05d5\x05dc\x05dd 123";
    const wchar_t *ar = L"\x0645\x0631\x062d\x0628\x0627 \x0628\x0627\x0644\x0639\x0627\x0644\x0645";
    const wchar_t *mix = L"Total: \x05e1\x05d4\x05f4\x05db 450";
    SelectObject(dc, f);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    text(dc, 20, 20, he);
    ExtTextOutW(dc, 20, 70, ETO_RTLREADING, NULL, he, (UINT)wcslen(he), NULL);
    SetTextAlign(dc, TA_RIGHT | TA_TOP | TA_RTLREADING);
    text(dc, 740, 120, he);
    text(dc, 740, 170, ar);
    text(dc, 740, 220, mix);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    text(dc, 20, 270, ar);
    text(dc, 20, 320, mix);
    ExtTextOutW(dc, 20, 370, ETO_RTLREADING, NULL, mix, (UINT)wcslen(mix), NULL);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE | TA_RTLREADING);
    text(dc, 380, 460, L"\x05d0\x05d1\x05d2 ABC \x05d3\x05d4\x05d5");
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

static void page_eto_dx(HDC dc)
{
    HFONT f = font(L"Courier New", -20, FW_NORMAL, 0, 0);
    HFONT g = font(L"Arial", -20, FW_BOLD, 0, 0);
    const wchar_t *s = L"Spaced 0123456789";
    INT dx[64], dxy[128];
    int n = (int)wcslen(s), i;
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, f);
    for (i = 0; i < n; i++)
        dx[i] = 14 + (i % 3) * 4;
    ExtTextOutW(dc, 20, 20, 0, NULL, s, (UINT)n, dx);
    for (i = 0; i < n; i++) {
        dxy[2 * i] = 22;
        dxy[2 * i + 1] = (i % 2) ? 6 : -6;
    }
    ExtTextOutW(dc, 20, 100, ETO_PDY, NULL, s, (UINT)n, dxy);
    for (i = 0; i < n; i++) {
        dxy[2 * i] = 20;
        dxy[2 * i + 1] = 4;
    }
    ExtTextOutW(dc, 20, 160, ETO_PDY, NULL, s, (UINT)n, dxy);
    SelectObject(dc, g);
    for (i = 0; i < n; i++)
        dx[i] = 9;
    ExtTextOutW(dc, 20, 260, 0, NULL, s, (UINT)n, dx);
    SetTextAlign(dc, TA_RIGHT | TA_TOP);
    for (i = 0; i < n; i++)
        dx[i] = 30;
    ExtTextOutW(dc, 740, 320, 0, NULL, s, (UINT)n, dx);
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    ExtTextOutW(dc, 380, 400, 0, NULL, s, (UINT)n, dx);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    {
        const char *a = "ANSI with Dx: Fiyat";
        int na = (int)strlen(a);
        for (i = 0; i < na; i++)
            dx[i] = 16;
        ExtTextOutA(dc, 20, 470, 0, NULL, a, (UINT)na, dx);
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f); DeleteObject(g);
}

static void page_text_align(HDC dc)
{
    static const UINT h[] = {TA_LEFT, TA_CENTER, TA_RIGHT};
    static const UINT v[] = {TA_TOP, TA_BASELINE, TA_BOTTOM};
    HFONT f = font(L"Times New Roman", -22, FW_NORMAL, 0, 0);
    HPEN p = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    int i, j;
    SelectObject(dc, f);
    SetBkColor(dc, RGB(220, 240, 255));
    for (j = 0; j < 3; j++)
        for (i = 0; i < 3; i++) {
            int x = 130 + i * 250, y = 40 + j * 90;
            SelectObject(dc, p);
            MoveToEx(dc, x - 100, y, NULL); LineTo(dc, x + 100, y);
            MoveToEx(dc, x, y - 30, NULL); LineTo(dc, x, y + 30);
            SetTextAlign(dc, h[i] | v[j]);
            SetBkMode(dc, (i + j) % 2 ? OPAQUE : TRANSPARENT);
            text(dc, x, y, L"Ağıx");
        }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_UPDATECP | TA_BASELINE);
    MoveToEx(dc, 30, 330, NULL);
    text(dc, 0, 0, L"Update ");
    text(dc, 0, 0, L"current ");
    text(dc, 0, 0, L"position.");
    SetTextAlign(dc, TA_UPDATECP | TA_RIGHT | TA_TOP);
    MoveToEx(dc, 740, 360, NULL);
    text(dc, 0, 0, L"right");
    text(dc, 0, 0, L"to left ");
    SetTextAlign(dc, TA_UPDATECP | TA_CENTER | TA_BOTTOM);
    MoveToEx(dc, 380, 440, NULL);
    text(dc, 0, 0, L"centred");
    LineTo(dc, 600, 500);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f); DeleteObject(p);
}

static void page_fonts(HDC dc)
{
    static const wchar_t *faces[] = {L"Arial", L"Times New Roman", L"Courier New", L"Tahoma", L"Verdana",
                                     L"MS Sans Serif", L"Arial Narrow", L"Calibri", L"Segoe UI", L"Lucida Console"};
    int i;
    SetBkMode(dc, TRANSPARENT);
    for (i = 0; i < 10; i++) {
        HFONT f = font(faces[i], -17, i % 3 == 1 ? FW_BOLD : FW_NORMAL, i % 4 == 3, 0);
        wchar_t line[120];
        SelectObject(dc, f);
        swprintf(line, 120, L"%ls: Müşteri ünvanı ÇĞİÖŞÜ 0123456789 WWWiii", faces[i]);
        text(dc, 20, 15 + i * 30, line);
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
    {
        LOGFONTW lf;
        HFONT f;
        memset(&lf, 0, sizeof lf);
        lf.lfHeight = 24;  /* cell height */
        lf.lfUnderline = 1;
        lf.lfStrikeOut = 0;
        wcscpy(lf.lfFaceName, L"Arial");
        f = CreateFontIndirectW(&lf);
        SelectObject(dc, f);
        text(dc, 20, 330, L"Cell height 24, underlined");
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
        lf.lfHeight = -20; lf.lfUnderline = 0; lf.lfStrikeOut = 1; lf.lfWidth = 6;
        f = CreateFontIndirectW(&lf);
        SelectObject(dc, f);
        text(dc, 20, 370, L"Narrow width 6, struck out");
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
        lf.lfStrikeOut = 0; lf.lfWidth = 16;
        f = CreateFontIndirectW(&lf);
        SelectObject(dc, f);
        text(dc, 20, 410, L"Wide width 16");
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
    for (i = 0; i < 4; i++) {
        HFONT f = font(L"Arial", -16, FW_NORMAL, 0, 900 * i + 450);
        SelectObject(dc, f);
        text(dc, 620, 440, L"Escapement");
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    text(dc, 20, 460, L"Default GUI font");
    SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    text(dc, 20, 490, L"ANSI variable font");
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    text(dc, 300, 490, L"System font");
}

static void page_text_large(HDC dc)
{
    HFONT f = font(L"Arial", -150, FW_BOLD, 0, 0);
    HFONT g = font(L"Times New Roman", -90, FW_NORMAL, 1, 0);
    HFONT s = font(L"Arial", -8, FW_NORMAL, 0, 0);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, f);
    SetTextColor(dc, RGB(0, 0, 120));
    text(dc, 10, 0, L"Büyük");
    SelectObject(dc, g);
    SetTextColor(dc, RGB(120, 0, 0));
    text(dc, 20, 180, L"SATIŞ LİSTESİ");
    SelectObject(dc, s);
    SetTextColor(dc, RGB(0, 0, 0));
    text(dc, 20, 320, L"Tiny eight pixel text under the large lines, for the other end of the scale.");
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, 100, NULL);
    SetViewportExtEx(dc, 400, 400, NULL);
    SelectObject(dc, s);
    text(dc, 5, 85, L"Scaled ×4");
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f); DeleteObject(g); DeleteObject(s);
}

static void page_blt_rops(HDC dc, HDC ref)
{
    static const DWORD rops[] = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, SRCERASE, NOTSRCCOPY, NOTSRCERASE,
                                 MERGECOPY, MERGEPAINT, PATCOPY, PATPAINT, PATINVERT, DSTINVERT, BLACKNESS,
                                 WHITENESS, 0x00B8074A};
    HBITMAP bmp;
    HDC mem = picture_dc(ref, 32, 24, &bmp);
    HBRUSH hb = CreateHatchBrush(HS_CROSS, RGB(200, 0, 0));
    int i;
    SelectObject(dc, hb);
    for (i = 0; i < 16; i++) {
        int x = 20 + (i % 4) * 185, y = 20 + (i / 4) * 130;
        solid_rect(dc, x, y, x + 170, y + 60, RGB(60, 120, 200));
        solid_rect(dc, x, y + 60, x + 170, y + 110, RGB(250, 240, 100));
        BitBlt(dc, x + 10, y + 20, 32, 24, mem, 0, 0, rops[i]);
        StretchBlt(dc, x + 50, y + 10, 110, 90, mem, 4, 2, 20, 20, rops[i]);
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(hb);
    DeleteDC(mem);
    DeleteObject(bmp);
}

static void page_stretch(HDC dc, HDC ref)
{
    HBITMAP bmp, mono = mono_bitmap(32, 32, 0), mono2 = mono_bitmap(32, 32, 1);
    HDC mem = picture_dc(ref, 32, 24, &bmp), mm = CreateCompatibleDC(ref);
    int i;
    for (i = 0; i < 4; i++) {
        SetStretchBltMode(dc, i + 1);
        StretchBlt(dc, 20 + i * 185, 20, 170, 120, mem, 0, 0, 32, 24, SRCCOPY);
    }
    StretchBlt(dc, 190, 160, -170, 100, mem, 0, 0, 32, 24, SRCCOPY); /* mirrored */
    StretchBlt(dc, 210, 260, 170, -100, mem, 0, 0, 32, 24, SRCCOPY);
    StretchBlt(dc, 400, 160, 60, 40, mem, 0, 0, 32, 24, SRCCOPY);     /* shrunk */
    SelectObject(mm, mono);
    SetTextColor(dc, RGB(200, 0, 0));
    SetBkColor(dc, RGB(220, 220, 255));
    StretchBlt(dc, 480, 160, 120, 120, mm, 0, 0, 32, 32, SRCCOPY);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, 620, 160, 32, 32, mm, 0, 0, SRCCOPY);
    SelectObject(mm, mono2);
    SetTextColor(dc, RGB(0, 120, 0));
    SetBkColor(dc, RGB(255, 255, 0));
    StretchBlt(dc, 20, 380, 300, 140, mm, 0, 0, 32, 32, SRCCOPY);
    gradient_dib(dc, 360, 380, 180, 140, 7, 5, SRCCOPY);
    gradient_dib(dc, 560, 380, 180, 140, 5, 7, SRCAND);
    DeleteDC(mm);
    DeleteDC(mem);
    DeleteObject(bmp); DeleteObject(mono); DeleteObject(mono2);
}

static void page_maskblt(HDC dc, HDC ref)
{
    HBITMAP bmp, mask = mono_bitmap(64, 48, 0), mask2 = mono_bitmap(64, 48, 1);
    HDC mem = picture_dc(ref, 64, 48, &bmp);
    HBRUSH hb = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 160));
    int i;
    SelectObject(dc, hb);
    for (i = 0; i < 4; i++) {
        int x = 20 + i * 185;
        solid_rect(dc, x, 20, x + 170, 250, RGB(250, 230, 120));
        MaskBlt(dc, x + 10, 30, 64, 48, mem, 0, 0, i % 2 ? mask2 : mask, 0, 0,
                i < 2 ? MAKEROP4(SRCCOPY, 0x00AA0029) : MAKEROP4(PATCOPY, SRCCOPY));
        MaskBlt(dc, x + 10, 130, 64, 48, mem, 0, 0, mask, 4 * i, 2 * i, MAKEROP4(SRCINVERT, PATINVERT));
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(hb);
    DeleteDC(mem);
    DeleteObject(bmp); DeleteObject(mask); DeleteObject(mask2);
}

static void page_plgblt(HDC dc, HDC ref)
{
    HBITMAP bmp, mask = mono_bitmap(64, 48, 0);
    HDC mem = picture_dc(ref, 64, 48, &bmp);
    POINT a[3] = {{40, 60}, {260, 20}, {80, 240}};
    POINT b[3] = {{440, 40}, {700, 120}, {380, 260}};
    POINT c[3] = {{300, 500}, {60, 500}, {300, 300}};
    PlgBlt(dc, a, mem, 0, 0, 64, 48, NULL, 0, 0);
    PlgBlt(dc, b, mem, 0, 0, 64, 48, mask, 0, 0);
    PlgBlt(dc, c, mem, 8, 8, 48, 32, NULL, 0, 0);
    DeleteDC(mem);
    DeleteObject(bmp); DeleteObject(mask);
}

static void page_transparent_alpha(HDC dc, HDC ref)
{
    HBITMAP bmp;
    HDC mem = picture_dc(ref, 64, 48, &bmp);
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 128, 0};
    int i;
    solid_rect(dc, 0, 0, W, 260, RGB(240, 240, 160));
    TransparentBlt(dc, 20, 20, 128, 96, mem, 0, 0, 64, 48, RGB(0, 0, 20));
    TransparentBlt(dc, 180, 20, 64, 48, mem, 0, 0, 64, 48, GetPixel(mem, 0, 0));
    for (i = 0; i < 4; i++) {
        bf.SourceConstantAlpha = (BYTE)(60 + i * 60);
        AlphaBlend(dc, 20 + i * 180, 140, 160, 100, mem, 0, 0, 64, 48, bf);
    }
    {
        /* A premultiplied 32-bit bitmap with per-pixel alpha. */
        BITMAPINFO bmi;
        DWORD *bits;
        HDC am = CreateCompatibleDC(ref);
        HBITMAP ab;
        int x, y;
        memset(&bmi, 0, sizeof bmi);
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = 64;
        bmi.bmiHeader.biHeight = -64;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        ab = CreateDIBSection(am, &bmi, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
        for (y = 0; y < 64; y++)
            for (x = 0; x < 64; x++) {
                int al = 255 * x / 63, r = 200, g = 40 + 3 * y;
                bits[y * 64 + x] = (DWORD)((al << 24) | ((r * al / 255) << 16) | ((g * al / 255) << 8) | (30 * al / 255));
            }
        SelectObject(am, ab);
        gradient_dib(dc, 20, 280, 720, 240, 20, 6, SRCCOPY);
        bf.SourceConstantAlpha = 255;
        bf.AlphaFormat = AC_SRC_ALPHA;
        AlphaBlend(dc, 40, 300, 200, 200, am, 0, 0, 64, 64, bf);
        bf.SourceConstantAlpha = 128;
        AlphaBlend(dc, 280, 300, 200, 200, am, 0, 0, 64, 64, bf);
        AlphaBlend(dc, 520, 300, 100, 100, am, 16, 16, 32, 32, bf);
        DeleteDC(am);
        DeleteObject(ab);
    }
    DeleteDC(mem);
    DeleteObject(bmp);
}

static void page_gradient_rect(HDC dc)
{
    TRIVERTEX v[8] = {
        {20, 20, 0xff00, 0x0000, 0x0000, 0}, {360, 120, 0x0000, 0x0000, 0xff00, 0},
        {400, 20, 0x0000, 0x8000, 0x0000, 0}, {740, 120, 0xff00, 0xff00, 0xff00, 0},
        {20, 160, 0xff00, 0xff00, 0x0000, 0}, {200, 520, 0x4000, 0x0000, 0x8000, 0},
        {740, 160, 0x0000, 0xff00, 0xff00, 0}, {240, 520, 0xff00, 0x8000, 0x0000, 0}};
    GRADIENT_RECT r[2] = {{0, 1}, {2, 3}};
    GRADIENT_RECT q[2] = {{4, 5}, {6, 7}};
    GradientFill(dc, v, 8, r, 2, GRADIENT_FILL_RECT_H);
    GradientFill(dc, v, 8, q, 2, GRADIENT_FILL_RECT_V);
    label(dc, 260, 300, L"Gradient rectangles");
}

static void page_gradient_tri(HDC dc)
{
    TRIVERTEX v[7] = {
        {20, 20, 0xff00, 0, 0, 0}, {380, 20, 0, 0xff00, 0, 0}, {20, 500, 0, 0, 0xff00, 0},
        {740, 20, 0xff00, 0xff00, 0, 0}, {740, 500, 0, 0xff00, 0xff00, 0}, {400, 500, 0xff00, 0, 0xff00, 0},
        {560, 260, 0xffff, 0xffff, 0xffff, 0}};
    GRADIENT_TRIANGLE t[4] = {{0, 1, 2}, {3, 4, 6}, {4, 5, 6}, {5, 3, 6}};
    GradientFill(dc, v, 7, t, 4, GRADIENT_FILL_TRIANGLE);
}

static void page_setdibits(HDC dc)
{
    BITMAPINFO bmi;
    unsigned char bits[40 * 30 * 3 + 200];
    int i, j, stride = (40 * 3 + 3) & ~3;
    memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = 40;
    bmi.bmiHeader.biHeight = 30;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    for (j = 0; j < 30; j++)
        for (i = 0; i < 40; i++) {
            unsigned char *p = bits + j * stride + i * 3;
            p[0] = (unsigned char)(i * 6); p[1] = (unsigned char)(j * 8); p[2] = (unsigned char)((i ^ j) & 8 ? 255 : 0);
        }
    SetDIBitsToDevice(dc, 20, 20, 40, 30, 0, 0, 0, 30, bits, &bmi, DIB_RGB_COLORS);
    SetDIBitsToDevice(dc, 100, 20, 20, 15, 10, 5, 0, 30, bits, &bmi, DIB_RGB_COLORS);
    SetDIBitsToDevice(dc, 160, 20, 40, 30, 0, 0, 10, 10, bits + 10 * stride, &bmi, DIB_RGB_COLORS);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, 100, NULL);
    SetViewportExtEx(dc, 300, 300, NULL);
    SetDIBitsToDevice(dc, 10, 30, 40, 30, 0, 0, 0, 30, bits, &bmi, DIB_RGB_COLORS);
    Rectangle(dc, 10, 30, 50, 60);
    SetMapMode(dc, MM_TEXT);
    StretchDIBits(dc, 400, 300, 160, 120, 0, 0, 40, 30, bits, &bmi, DIB_RGB_COLORS, SRCCOPY);
    label(dc, 400, 280, L"StretchDIBits beside");
}

static void page_floodfill(HDC dc)
{
    HBRUSH b = CreateSolidBrush(RGB(80, 180, 80)), hb = CreateHatchBrush(HS_CROSS, RGB(0, 0, 200));
    HPEN p = CreatePen(PS_SOLID, 2, RGB(200, 0, 0));
    SelectObject(dc, p);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, 20, 20, 340, 260);
    Rectangle(dc, 100, 80, 260, 200);
    SelectObject(dc, b);
    ExtFloodFill(dc, 40, 140, RGB(200, 0, 0), FLOODFILLBORDER);
    solid_rect(dc, 400, 20, 740, 260, RGB(255, 255, 160));
    solid_rect(dc, 500, 80, 640, 200, RGB(160, 160, 255));
    SelectObject(dc, hb);
    ExtFloodFill(dc, 420, 40, RGB(255, 255, 160), FLOODFILLSURFACE);
    SelectObject(dc, b);
    FloodFill(dc, 180, 140, RGB(200, 0, 0));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(b); DeleteObject(hb); DeleteObject(p);
}

static void page_rop2(HDC dc)
{
    int i;
    gradient_dib(dc, 0, 0, W, H, 16, 16, SRCCOPY);
    for (i = 1; i <= 16; i++) {
        HPEN p = CreatePen(PS_SOLID, 6, RGB(255, 80, 0));
        HBRUSH b = CreateSolidBrush(RGB(0, 160, 255));
        int x = 20 + ((i - 1) % 8) * 92, y = 30 + ((i - 1) / 8) * 250;
        SetROP2(dc, i);
        SelectObject(dc, p);
        SelectObject(dc, b);
        Rectangle(dc, x, y, x + 80, y + 120);
        MoveToEx(dc, x, y + 160, NULL);
        LineTo(dc, x + 80, y + 220);
        SetROP2(dc, R2_COPYPEN);
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(p); DeleteObject(b);
    }
}

static void page_shapes(HDC dc)
{
    HBRUSH b = CreateSolidBrush(RGB(250, 200, 120));
    POINT poly[5] = {{400, 20}, {480, 60}, {460, 140}, {380, 130}, {360, 70}};
    POINT pp[8] = {{520, 20}, {740, 20}, {740, 140}, {520, 140}, {560, 50}, {700, 50}, {700, 110}, {560, 110}};
    INT counts[2] = {4, 4};
    POINT bz[7] = {{20, 400}, {80, 300}, {160, 500}, {220, 400}, {260, 340}, {300, 460}, {340, 400}};
    POINT pd[6] = {{400, 400}, {450, 320}, {520, 480}, {560, 400}, {600, 460}, {700, 360}};
    BYTE types[6] = {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE};
    SelectObject(dc, b);
    Rectangle(dc, 20, 20, 120, 100);
    RoundRect(dc, 140, 20, 260, 100, 30, 20);
    Ellipse(dc, 280, 20, 360, 140);
    Pie(dc, 20, 120, 140, 240, 140, 180, 80, 120);
    Chord(dc, 160, 120, 280, 240, 280, 140, 160, 220);
    Arc(dc, 300, 160, 420, 280, 420, 220, 300, 220);
    Polygon(dc, poly, 5);
    SetPolyFillMode(dc, ALTERNATE);
    PolyPolygon(dc, pp, counts, 2);
    MoveToEx(dc, 440, 200, NULL);
    AngleArc(dc, 520, 240, 50, 30, 240);
    SetArcDirection(dc, AD_CLOCKWISE);
    Arc(dc, 600, 160, 720, 280, 720, 220, 600, 220);
    SetArcDirection(dc, AD_COUNTERCLOCKWISE);
    PolyBezier(dc, bz, 7);
    PolyDraw(dc, pd, types, 6);
    {
        POINT pl[4] = {{20, 520}, {200, 460}, {380, 520}, {560, 460}};
        Polyline(dc, pl, 4);
        MoveToEx(dc, 600, 520, NULL);
        PolylineTo(dc, pl, 2);
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(b);
}

/* A report page: title, ruled table with shaded rows, clipped cells, totals. */
static void page_report(HDC dc)
{
    HFONT title = font(L"Arial", -28, FW_BOLD, 0, 0), body = font(L"Tahoma", -12, FW_NORMAL, 0, 0);
    HFONT bold = font(L"Tahoma", -12, FW_BOLD, 0, 0);
    HPEN grid = CreatePen(PS_SOLID, 1, RGB(120, 120, 120));
    static const int cols[] = {20, 70, 330, 420, 520, 620, 740};
    int r, c;
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, title);
    SetTextColor(dc, RGB(0, 40, 100));
    text(dc, 20, 10, L"SATIŞ LİSTESİ");
    SelectObject(dc, grid);
    for (r = 0; r < 20; r++) {
        int y = 60 + r * 22;
        if (r == 0)
            solid_rect(dc, 20, y, 740, y + 22, RGB(0, 40, 100));
        else if (r % 2 == 0)
            solid_rect(dc, 20, y, 740, y + 22, RGB(235, 240, 250));
        SelectObject(dc, r == 0 ? bold : body);
        SetTextColor(dc, r == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0));
        for (c = 0; c < 6; c++) {
            wchar_t cell[80];
            RECT rc = {cols[c] + 2, y + 1, cols[c + 1] - 2, y + 21};
            if (r == 0)
                swprintf(cell, 80, c == 1 ? L"Ürün açıklaması" : L"Sütun %d", c + 1);
            else if (c == 1)
                swprintf(cell, 80, L"Ürün %d, uzun açıklama kesilmeli, hücreye sığmaz", r);
            else
                swprintf(cell, 80, L"%d.%03d,%02d", r * 7 + c, (r * 131 * c) % 1000, (r * c) % 100);
            SaveDC(dc);
            IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
            if (c >= 2) {
                SetTextAlign(dc, TA_RIGHT | TA_TOP);
                ExtTextOutW(dc, rc.right - 2, y + 4, ETO_CLIPPED, &rc, cell, (UINT)wcslen(cell), NULL);
            } else {
                SetTextAlign(dc, TA_LEFT | TA_TOP);
                ExtTextOutW(dc, rc.left + 2, y + 4, 0, NULL, cell, (UINT)wcslen(cell), NULL);
            }
            RestoreDC(dc, -1);
        }
        MoveToEx(dc, 20, y + 22, NULL);
        LineTo(dc, 740, y + 22);
    }
    for (c = 0; c < 7; c++) {
        MoveToEx(dc, cols[c], 60, NULL);
        LineTo(dc, cols[c], 60 + 20 * 22);
    }
    SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
    SelectObject(dc, bold);
    text(dc, 740, 530, L"Sayfa 1 / 1");
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(title); DeleteObject(body); DeleteObject(bold); DeleteObject(grid);
}

/* Cells clipped with a twips mapping, as some report writers record them. */
static void page_report_twips(HDC dc)
{
    HFONT f;
    int r;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1440, 1440, NULL);
    SetViewportExtEx(dc, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), NULL);
    f = font(L"Arial", -200, FW_NORMAL, 0, 0);
    SelectObject(dc, f);
    SetBkMode(dc, TRANSPARENT);
    for (r = 0; r < 14; r++) {
        int y = 300 + r * 500;
        SaveDC(dc);
        IntersectClipRect(dc, 300, y, 4000, y + 450);
        SetBkColor(dc, r % 2 ? RGB(255, 240, 240) : RGB(240, 255, 240));
        {
            RECT rc = {300, y, 4000, y + 450};
            ExtTextOutW(dc, 400, y + 80, ETO_OPAQUE, &rc, L"Twips hücresi: metin hücrenin dışına taşar ve kesilir",
                        53, NULL);
        }
        RestoreDC(dc, -1);
        SaveDC(dc);
        {
            HRGN rg = CreateRectRgn(4200, y, 11000, y + 450);
            (void)rg;
            DeleteObject(rg);
        }
        IntersectClipRect(dc, 4200, y, 11000, y + 450);
        Rectangle(dc, 4100, y - 100, 11100, y + 550);
        text(dc, 4300, y + 80, L"Sağ hücre");
        RestoreDC(dc, -1);
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

/* ---- driver ----------------------------------------------------------- */

typedef void (*page_fn)(HDC);
typedef void (*page_ref_fn)(HDC, HDC);
struct page {
    const char *name;
    page_fn fn;
    page_ref_fn ref_fn;
};

static const struct page pages[] = {
    {"clip_panels", page_clip_panels, NULL},
    {"clip_nested", page_clip_nested, NULL},
    {"clip_modes", page_clip_modes, NULL},
    {"clip_path", page_clip_path, NULL},
    {"regions", page_regions, NULL},
    {"map_twips", page_map_twips, NULL},
    {"map_metric", page_map_metric, NULL},
    {"map_aniso", page_map_aniso, NULL},
    {"world_xform", page_world, NULL},
    {"brush_hatch", page_hatch, NULL},
    {"brush_pattern", page_pattern, NULL},
    {"pens_cosmetic", page_pens_cosmetic, NULL},
    {"pens_geometric", page_pens_geometric, NULL},
    {"paths", page_paths, NULL},
    {"text_path", page_text_path, NULL},
    {"eto_options", page_eto_options, NULL},
    {"eto_glyph_index", page_eto_glyphs, NULL},
    {"eto_rtl", page_eto_rtl, NULL},
    {"eto_dx", page_eto_dx, NULL},
    {"text_align", page_text_align, NULL},
    {"text_fonts", page_fonts, NULL},
    {"text_large", page_text_large, NULL},
    {"blt_rops", NULL, page_blt_rops},
    {"blt_stretch", NULL, page_stretch},
    {"blt_mask", NULL, page_maskblt},
    {"blt_plg", NULL, page_plgblt},
    {"blt_transparent_alpha", NULL, page_transparent_alpha},
    {"gradient_rect", page_gradient_rect, NULL},
    {"gradient_triangle", page_gradient_tri, NULL},
    {"setdibits", page_setdibits, NULL},
    {"floodfill", page_floodfill, NULL},
    {"rop2", page_rop2, NULL},
    {"shapes", page_shapes, NULL},
    {"report_table", page_report, NULL},
    {"report_twips", page_report_twips, NULL},
};

int main(int argc, char **argv)
{
    HDC ref = GetDC(NULL);
    int mmx = GetDeviceCaps(ref, HORZSIZE), mmy = GetDeviceCaps(ref, VERTSIZE);
    int px = GetDeviceCaps(ref, HORZRES), py = GetDeviceCaps(ref, VERTRES);
    size_t i;
    int made = 0;
    if (argc < 2) {
        fprintf(stderr, "usage: record OUTDIR [NAME...]\n");
        return 2;
    }
    for (i = 0; i < sizeof pages / sizeof pages[0]; i++) {
        wchar_t path[MAX_PATH];
        RECT frame;
        HDC dc;
        HENHMETAFILE emf;
        int k, wanted = argc == 2;
        for (k = 2; k < argc; k++)
            wanted |= strcmp(argv[k], pages[i].name) == 0;
        if (!wanted)
            continue;
        /* The frame in 0.01 mm: W x H reference pixels. */
        frame.left = 0;
        frame.top = 0;
        frame.right = MulDiv(W, mmx * 100, px);
        frame.bottom = MulDiv(H, mmy * 100, py);
        swprintf(path, MAX_PATH, L"%hs\\%hs.emf", argv[1], pages[i].name);
        dc = CreateEnhMetaFileW(ref, path, &frame, L"qrp test page\0gdi\0");
        if (!dc) {
            fprintf(stderr, "record: cannot create %s\n", pages[i].name);
            return 1;
        }
        if (pages[i].fn)
            pages[i].fn(dc);
        else
            pages[i].ref_fn(dc, ref);
        emf = CloseEnhMetaFile(dc);
        DeleteEnhMetaFile(emf);
        printf("%s\n", pages[i].name);
        made++;
    }
    ReleaseDC(NULL, ref);
    return made ? 0 : 1;
}
