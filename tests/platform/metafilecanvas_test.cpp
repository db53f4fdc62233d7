// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/dib.h"
#include "platform/emf/emfplayer.h"
#include "platform/emf/metafilecanvas.h"
#include "platform/emftext/emftext.h"
#include "platform/metafile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

struct TRecord {
    uint32_t Type = 0;
    std::vector<uint8_t> Bytes;
    uint32_t U32(size_t At) const
    {
        uint32_t v = 0;
        std::memcpy(&v, Bytes.data() + At, 4);
        return v;
    }
    int32_t I32(size_t At) const { return int32_t(U32(At)); }
};

// Splits a page into records, failing the test on any structural fault.
std::vector<TRecord> Records(const TMetafile& Page)
{
    std::vector<TRecord> out;
    const std::vector<uint8_t>& d = Page.Data();
    size_t at = 0;
    while (at < d.size()) {
        EXPECT_LE(at + 8, d.size());
        if (at + 8 > d.size())
            break;
        uint32_t type, size;
        std::memcpy(&type, d.data() + at, 4);
        std::memcpy(&size, d.data() + at + 4, 4);
        EXPECT_GE(size, 8u);
        EXPECT_EQ(size % 4, 0u);
        EXPECT_LE(size, d.size() - at);
        if (size < 8 || size > d.size() - at)
            break;
        out.push_back({type, std::vector<uint8_t>(d.begin() + at, d.begin() + at + size)});
        at += size;
    }
    return out;
}

std::vector<TRecord> OfType(const std::vector<TRecord>& All, uint32_t Type)
{
    std::vector<TRecord> out;
    for (const TRecord& r : All)
        if (r.Type == Type)
            out.push_back(r);
    return out;
}

uint32_t ColorRef(QColor C)
{
    return uint32_t(C.red() | C.green() << 8 | C.blue() << 16);
}

enum : uint32_t {
    kEof = 14,
    kSaveDC = 33,
    kRestoreDC = 34,
    kSelect = 37,
    kCreatePen = 38,
    kDelete = 40,
    kLineTo = 54,
    kCreateBrush = 39,
    kCreateFont = 82,
    kStretchDIBits = 81,
    kExtTextOutW = 84,
    kAlphaBlend = 114
};

} // namespace

TEST(MetafileCanvas, HeaderDescribesTheRecordedPage)
{
    const QSize sizes[] = {{1, 1}, {800, 600}, {794, 1123}, {2480, 3508}, {3000, 20}, {9917, 14033}};
    for (const QSize& s : sizes) {
        TMetafile page;
        {
            TMetafileCanvas c(page, s.width(), s.height());
            c.MoveTo(0, 0);
            c.LineTo(s.width() - 1, s.height() - 1);
        }
        ASSERT_FALSE(page.Empty());
        const EmfHeader& h = page.Header();
        const auto recs = Records(page);
        EXPECT_EQ(h.nBytes, page.Data().size());
        EXPECT_EQ(h.nRecords, recs.size());
        ASSERT_FALSE(recs.empty());
        EXPECT_EQ(recs.back().Type, kEof);
        EXPECT_EQ(recs.back().Bytes.size(), 20u);
        EXPECT_EQ(h.szlDevice.cx, 1920);
        EXPECT_EQ(h.szlDevice.cy, 1080);
        EXPECT_EQ(h.szlMillimeters.cx, 508);
        EXPECT_EQ(h.szlMillimeters.cy, 286);
        EXPECT_EQ(page.Width(), s.width()) << s.width() << "x" << s.height();
        EXPECT_EQ(page.Height(), s.height()) << s.width() << "x" << s.height();
        EXPECT_EQ(h.rclBounds.Left, 0);
        EXPECT_GE(h.rclBounds.Right, s.width() - 1);
    }
}

TEST(MetafileCanvas, EmptyPageIsStillAValidMetafile)
{
    TMetafile page;
    {
        TMetafileCanvas c(page, 100, 50);
    }
    const auto recs = Records(page);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(page.Header().nHandles, 1);
    EXPECT_GT(page.Header().rclBounds.Left, page.Header().rclBounds.Right) << "empty bounds";
}

// Replays selection and deletion as a player would, checking that no record
// ever uses a deleted or unknown object and that each line is drawn with the
// pen the canvas had at the time.
TEST(MetafileCanvas, ObjectsStayValidAcrossClipsAndAreReused)
{
    TMetafile page;
    {
        TMetafileCanvas c(page, 200, 200);
        c.Pen.Color = Qt::red;
        c.MoveTo(0, 0);
        c.LineTo(10, 0);
        c.LineTo(20, 0); // same pen: no new object
        const QRect clip(5, 5, 50, 50);
        c.SetClipRect(&clip);
        c.Pen.Color = Qt::blue;
        c.LineTo(30, 0);
        c.SetClipRect(nullptr);
        c.LineTo(40, 0); // the clip's RestoreDC took the blue pen away
        for (int i = 0; i < 50; ++i) {
            c.Pen.Color = QColor(i, 0, 0);
            c.LineTo(i, 1);
        }
    }
    const auto recs = Records(page);
    const uint16_t nHandles = page.Header().nHandles;
    EXPECT_LE(nHandles, 5) << "replaced objects must be deleted and their slots reused";
    std::map<uint32_t, uint32_t> penColor; // live pens
    uint32_t selected = 0;
    std::vector<uint32_t> saved;
    std::vector<uint32_t> lineColors;
    for (const TRecord& r : recs) {
        if (r.Type == kCreatePen || r.Type == kCreateBrush || r.Type == kCreateFont) {
            const uint32_t h = r.U32(8);
            EXPECT_GT(h, 0u);
            EXPECT_LT(h, nHandles);
            EXPECT_EQ(penColor.count(h), 0u) << "object slot reused before deletion";
            penColor[h] = r.Type == kCreatePen ? r.U32(24) : 0xFFFFFFFF;
        } else if (r.Type == kSelect) {
            const uint32_t h = r.U32(8);
            if (!(h & 0x80000000u)) {
                EXPECT_EQ(penColor.count(h), 1u) << "selecting a deleted object " << h;
            }
            if ((h & 0x80000000u) || penColor[h] != 0xFFFFFFFF)
                selected = h;
        } else if (r.Type == kDelete) {
            const uint32_t h = r.U32(8);
            EXPECT_NE(h, selected);
            for (uint32_t s : saved)
                EXPECT_NE(h, s) << "deleting a pen a saved state still holds";
            penColor.erase(h);
        } else if (r.Type == kSaveDC) {
            saved.push_back(selected);
        } else if (r.Type == kRestoreDC) {
            ASSERT_FALSE(saved.empty());
            selected = saved.back();
            saved.pop_back();
        } else if (r.Type == kLineTo) {
            lineColors.push_back(penColor.count(selected) ? penColor[selected] : 0xDEAD);
        }
    }
    ASSERT_GE(lineColors.size(), 4u);
    EXPECT_EQ(lineColors[0], ColorRef(Qt::red));
    EXPECT_EQ(lineColors[1], ColorRef(Qt::red));
    EXPECT_EQ(lineColors[2], ColorRef(Qt::blue));
    EXPECT_EQ(lineColors[3], ColorRef(Qt::blue));
    EXPECT_EQ(lineColors.back(), ColorRef(QColor(49, 0, 0)));
    EXPECT_EQ(OfType(recs, kCreatePen).size(), 53u) << "blue is created again after the RestoreDC";
}

TEST(MetafileCanvas, TextRecordCarriesStringAndAdvances)
{
    TMetafile page;
    const QString text = QStringLiteral("Sayfa ş");
    const std::vector<int> dx = {7, 6, 6, 4, 6, 3, 5};
    std::vector<int> natural;
    {
        TMetafileCanvas c(page, 400, 100);
        c.Font.Height = -20;
        c.SetGraphicsMode(2);
        c.ExtTextOut(10, 20, 0, nullptr, text, &dx);
        natural = c.TextAdvances(text);
        c.TextOut(10, 60, text);
    }
    const auto texts = OfType(Records(page), kExtTextOutW);
    ASSERT_EQ(texts.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        const TRecord& r = texts[k];
        EXPECT_EQ(r.U32(24), 2u) << "graphics mode";
        // Positions and advances in text units, finer than reference pixels.
        EXPECT_EQ(r.I32(36), 10 * TMetafileCanvas::TextUnits);
        EXPECT_EQ(r.U32(44), uint32_t(text.size()));
        const uint32_t offString = r.U32(48), offDx = r.U32(72);
        ASSERT_LE(offString + 2 * text.size(), r.Bytes.size());
        ASSERT_LE(offDx + 4 * text.size(), r.Bytes.size());
        QString got;
        for (qsizetype i = 0; i < text.size(); ++i)
            got += QChar(uint16_t(r.Bytes[offString + 2 * i] | r.Bytes[offString + 2 * i + 1] << 8));
        EXPECT_EQ(got, text);
        const std::vector<int>& want = k == 0 ? dx : natural;
        int64_t pen = 0, wantPen = 0;
        for (size_t i = 0; i < want.size(); ++i) {
            pen += r.I32(offDx + 4 * i);
            wantPen += want[i] * TMetafileCanvas::TextUnits;
            if (k == 0)
                EXPECT_EQ(pen, wantPen) << "advance " << i << " as given";
            else
                EXPECT_LE(std::abs(pen - wantPen), TMetafileCanvas::TextUnits / 2 + 1) << "advance " << i;
        }
        EXPECT_LT(r.I32(8), r.I32(16)) << "record bounds cover the text";
    }
}

namespace {
QImage Play(const TMetafile& Page, int W, int H);
} // namespace

TEST(MetafileCanvas, SmallTextKeepsEvenAdvancesAt600Dpi)
{
    // A small font: at whole reference pixels its advances would be off by
    // up to a pixel, a sixth of a character.
    TMetafile page;
    const QString text = QStringLiteral("Pasta neleri 02.01.2024 Öztürk Ltd. Şti.");
    TFont font;
    font.Height = -11;
    {
        TMetafileCanvas c(page, 400, 100);
        c.Font = font;
        c.SetTextAlign(TA_LEFT | TA_BASELINE);
        c.TextOut(10, 40, text);
        c.Rectangle(QRect(5, 50, 100, 20)); // drawing after text goes back to pixels
        c.TextOut(10, 80, text);
    }
    const auto texts = OfType(Records(page), kExtTextOutW);
    ASSERT_EQ(texts.size(), 2u);
    const QFontMetricsF exact(QFontFor(font));
    const double device = 600.0 / 96.0; // device pixels per reference pixel
    const double tenth = exact.averageCharWidth() * device / 10;
    const TRecord& r = texts[0];
    const uint32_t offDx = r.U32(72);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const double recorded = r.I32(offDx + 4 * size_t(i)) * device / TMetafileCanvas::TextUnits;
        EXPECT_NEAR(recorded, exact.horizontalAdvance(text[i]) * device, tenth) << "advance " << i;
    }
    // Played back and read back the same.
    const std::vector<TEmfTextLine> lines = EmfPageLines(page);
    ASSERT_EQ(lines.size(), 2u);
    for (const TEmfTextLine& l : lines) {
        EXPECT_EQ(l.Text, text);
        EXPECT_NEAR(l.Bounds.left(), 10, 0.5);
    }
    EXPECT_NEAR(lines[0].Baseline, 40, 0.5);
    EXPECT_NEAR(lines[1].Baseline, 80, 0.5);
    const QImage img = Play(page, 400, 100);
    int ink = 0;
    for (int y = 25; y < 45; ++y)
        for (int x = 0; x < 400; ++x)
            ink += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(ink, 100) << "text drawn at its size";
}

TEST(MetafileCanvas, AdvancesFollowTheFont)
{
    TFont small, large, bold;
    small.Height = -10;
    large.Height = -40;
    bold.Height = -40;
    bold.Weight = 700;
    const QString s = QStringLiteral("WWiiMM");
    const auto a = FontAdvances(small, s), b = FontAdvances(large, s), c = FontAdvances(bold, s);
    int sa = 0, sb = 0, sc = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        sa += a[i];
        sb += b[i];
        sc += c[i];
    }
    EXPECT_GT(sa, 0);
    EXPECT_GT(sb, 3 * sa);
    EXPECT_GE(sc, sb);
    EXPECT_GT(b[0], b[2]) << "W is wider than i";
    const auto pair = FontAdvances(large, QString::fromUcs4(U"a\U0001F600"));
    ASSERT_EQ(pair.size(), 3u);
    EXPECT_EQ(pair[2], 0) << "the low surrogate carries no advance";
}

TEST(MetafileCanvas, BitmapsAreRecordedAsDecodableDibs)
{
    QImage opaque(4, 3, QImage::Format_RGB32);
    opaque.fill(Qt::yellow);
    opaque.setPixel(0, 0, qRgb(255, 0, 0));
    QImage translucent(2, 2, QImage::Format_ARGB32_Premultiplied);
    translucent.fill(Qt::transparent);
    translucent.setPixel(1, 1, qRgba(0, 0, 0x80, 0x80));
    TMetafile page;
    {
        TMetafileCanvas c(page, 100, 100);
        c.StretchDraw(QRect(10, 20, 40, 30), opaque);
        c.StretchDraw(QRect(0, 0, 8, 8), translucent);
    }
    const auto recs = Records(page);
    const auto dibs = OfType(recs, kStretchDIBits);
    ASSERT_EQ(dibs.size(), 1u);
    const TRecord& s = dibs[0];
    EXPECT_EQ(s.I32(24), 10);
    EXPECT_EQ(s.I32(28), 20);
    EXPECT_EQ(s.I32(72), 40);
    EXPECT_EQ(s.I32(76), 30);
    const QImage back = DecodeDibInRecord(s.Bytes.data(), s.Bytes.size(), s.U32(48), s.U32(52), s.U32(56), s.U32(60));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), opaque);

    const auto blends = OfType(recs, kAlphaBlend);
    ASSERT_EQ(blends.size(), 1u);
    const TRecord& a = blends[0];
    TDibOptions o;
    o.UseAlpha = true;
    const QImage alpha = DecodeDibInRecord(a.Bytes.data(), a.Bytes.size(), a.U32(84), a.U32(88), a.U32(92), a.U32(96),
                                           o);
    EXPECT_EQ(alpha, translucent);
}

TEST(MetafileCanvas, FinishHandsThePageOverOnce)
{
    TMetafile page;
    TMetafileCanvas c(page, 50, 50);
    c.Rectangle(QRect(1, 1, 10, 10));
    EXPECT_TRUE(page.Empty()) << "the page arrives when the canvas is finished";
    c.Finish();
    const std::vector<uint8_t> done = page.Data();
    c.LineTo(20, 20);
    c.Finish();
    EXPECT_EQ(page.Data(), done);
}

namespace {

QImage Play(const TMetafile& Page, int W, int H)
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    StretchDraw(p, QRectF(0, 0, W, H), Page);
    p.end();
    return img;
}

} // namespace

TEST(MetafileCanvasPlayback, ShapesLandOnTheirPixels)
{
    TMetafile page;
    {
        TMetafileCanvas c(page, 100, 80);
        c.Brush.Color = Qt::red;
        c.FillRect(QRect(10, 10, 20, 10));
        c.Pen.Color = Qt::blue;
        c.MoveTo(0, 50);
        c.LineTo(100, 50);
        const QRect clip(60, 0, 10, 80);
        c.SetClipRect(&clip);
        c.Brush.Color = Qt::green;
        c.FillRect(QRect(50, 60, 40, 10));
        c.SetClipRect(nullptr);
    }
    const QImage img = Play(page, 100, 80);
    EXPECT_EQ(img.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(29, 19), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(30, 15), qRgb(255, 255, 255)) << "right edge is exclusive";
    EXPECT_EQ(img.pixel(20, 20), qRgb(255, 255, 255)) << "bottom edge is exclusive";
    EXPECT_EQ(img.pixel(50, 50), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(50, 49), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(65, 65), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(55, 65), qRgb(255, 255, 255)) << "clipped away";
    EXPECT_EQ(img.pixel(75, 65), qRgb(255, 255, 255)) << "clipped away";
}

TEST(MetafileCanvasPlayback, TextIsDrawnFromItsReferencePoint)
{
    TMetafile page;
    {
        TMetafileCanvas c(page, 200, 60);
        c.Font.Height = -30;
        c.SetTextAlign(TA_LEFT | TA_TOP);
        c.TextOut(100, 10, QStringLiteral("MMM"));
    }
    const QImage img = Play(page, 200, 60);
    int minX = 200, maxX = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_GE(maxX, 0) << "no text drawn";
    EXPECT_GE(minX, 99);
    EXPECT_LE(minX, 106);
    int width = 0;
    TFont f;
    f.Height = -30;
    for (int a : FontAdvances(f, QStringLiteral("MMM")))
        width += a;
    EXPECT_LE(maxX, 100 + width);
}

TEST(MetafileCanvasPlayback, EmbeddedPageIsDrawnIntoItsRectangle)
{
    TMetafile logo;
    {
        TMetafileCanvas m(logo, 10, 10);
        m.Brush.Color = Qt::blue;
        m.FillRect(QRect(0, 0, 5, 10)); // left half only: the rest must stay see-through
    }
    TMetafile page;
    {
        TMetafileCanvas c(page, 100, 100);
        c.Brush.Color = Qt::red;
        c.FillRect(QRect(0, 0, 100, 100));
        c.StretchDraw(QRect(20, 20, 40, 40), logo);
    }
    const QImage img = Play(page, 100, 100);
    EXPECT_EQ(img.pixel(25, 40), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(50, 40), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(10, 10), qRgb(255, 0, 0));
}
