// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplaybidi.h"
#include "platform/emf/emfplaycharset.h"
#include "platform/emf/emfplayer_p.h"
#include "platform/emf/emfplaystyles.h"
#include "platform/emf/emfplaytextfonts.h"
#include "platform/emf/emfrecords.h"

#include <QGlyphRun>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

QPointF Unit(QPointF V)
{
    const double len = std::hypot(V.x(), V.y());
    return len > 0 ? V / len : QPointF(1, 0);
}

// Glyphs of Text in Font, one per UTF-16 unit (0 where the font has none and
// for the second half of a surrogate pair).
QVector<quint32> GlyphsFor(const QRawFont& Font, const QString& Text)
{
    QVector<quint32> glyphs(Text.size(), 0);
    bool surrogates = false;
    for (QChar c : Text)
        surrogates = surrogates || c.isSurrogate();
    if (!surrogates) {
        int n = int(Text.size());
        Font.glyphIndexesForChars(Text.constData(), n, glyphs.data(), &n);
        return glyphs;
    }
    for (int i = 0; i < Text.size(); ++i) {
        const int len = (Text[i].isHighSurrogate() && i + 1 < Text.size() && Text[i + 1].isLowSurrogate()) ? 2 : 1;
        quint32 g = 0;
        int n = 1;
        Font.glyphIndexesForChars(Text.constData() + i, len, &g, &n);
        glyphs[i] = g;
        i += len - 1;
    }
    return glyphs;
}

// GDI's blend of a glyph pixel: per channel and coverage level (0 to 16),
// the result over each background value, for one text colour.
struct TGlyphBlend {
    QRgb Colour = 0;
    uint8_t Channel[3][17][256];
};

constexpr uint8_t Ramp[17] = {0,    0x4d, 0x68, 0x7c, 0x8c, 0x9a, 0xa7, 0xb2, 0xbd,
                              0xc7, 0xd0, 0xd9, 0xe1, 0xe9, 0xf0, 0xf8, 0xff};

const TGlyphBlend& GlyphBlendFor(QRgb Colour)
{
    // Pages draw their text in a few colours: the last ones are kept.
    thread_local std::vector<std::unique_ptr<TGlyphBlend>> cache;
    for (const auto& t : cache)
        if (t->Colour == Colour)
            return *t;
    if (cache.size() >= 8)
        cache.erase(cache.begin());
    auto t = std::make_unique<TGlyphBlend>();
    t->Colour = Colour;
    const int text[3] = {qRed(Colour), qGreen(Colour), qBlue(Colour)};
    for (int c = 0; c < 3; ++c) {
        const int T = text[c];
        for (int level = 0; level <= 16; ++level) {
            const int most = Ramp[16 - level] + (255 - Ramp[16 - level]) * T / 255;
            const int least = Ramp[level] * T / 255;
            for (int D = 0; D < 256; ++D)
                t->Channel[c][level][D] = uint8_t(D == T  ? D
                                                  : D > T ? T + (D - T) * (most - T) / (255 - T)
                                                          : T - (T - D) * (T - least) / T);
        }
    }
    cache.push_back(std::move(t));
    return *cache.back();
}

} // namespace

void TEmfPlayer::FillGlyphOutlines(const QRawFont& Font, const QVector<quint32>& Glyphs,
                                   const QVector<QPointF>& Positions, const QColor& Colour)
{
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    for (int i = 0; i < Glyphs.size() && i < Positions.size(); ++i)
        outline.addPath(Font.pathForGlyph(Glyphs[i]).translated(Positions[i]));
    const bool antialiased = FPainter.testRenderHint(QPainter::Antialiasing);
    FPainter.setRenderHint(QPainter::Antialiasing, true);
    FPainter.fillPath(outline, Colour);
    FPainter.setRenderHint(QPainter::Antialiasing, antialiased);
}

bool TEmfPlayer::DrawGlyphsLikeGdi(const QGlyphRun& Run, const QTransform& ToDevice, const QColor& Colour)
{
    // GDI blends antialiased glyphs through a ramp of 17 levels that keeps
    // partly covered pixels closer to the background than their coverage.
    // Clipped to the device before it becomes whole pixels: a damaged record
    // can place a run beyond what an int holds.
    const QRect onDevice = DeviceBounds().boundingRect();
    const QRectF bounds = ToDevice.mapRect(Run.boundingRect()).adjusted(-2, -2, 2, 2) & QRectF(onDevice);
    if (!(bounds.width() > 0 && bounds.height() > 0))
        return true;
    const QRect area = bounds.toAlignedRect() & onDevice;
    if (area.isEmpty())
        return true;
    // One buffer per thread: pages draw thousands of short runs. A run
    // across a whole page at print resolution is drawn by the engine.
    constexpr size_t LargestBlendedRun = size_t(1) << 22;
    const size_t pixels = size_t(area.width()) * size_t(area.height());
    if (pixels > LargestBlendedRun)
        return false;
    thread_local std::vector<QRgb> buffer;
    if (buffer.size() < pixels)
        buffer.resize(pixels);
    std::fill_n(buffer.begin(), pixels, QRgb(0));
    QImage mask(reinterpret_cast<uchar*>(buffer.data()), area.width(), area.height(), area.width() * 4,
                QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.setTransform(ToDevice * QTransform::fromTranslate(-area.left(), -area.top()));
        p.setPen(Qt::black);
        p.drawGlyphRun(QPointF(0, 0), Run);
    }
    // Where the page is an image the background is known: each channel
    // moves from it towards the text colour as GDI moves it.
    QPaintDevice* device = FPainter.device();
    const QImage* page = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    const bool direct = page && (page->format() == QImage::Format_RGB32 || page->format() == QImage::Format_ARGB32 ||
                                 page->format() == QImage::Format_ARGB32_Premultiplied);
    const QRgb rgb = Colour.rgb();
    const TGlyphBlend& table = GlyphBlendFor(rgb);
    const int width = area.width(), height = area.height();
    for (int y = 0; y < height; ++y) {
        QRgb* line = buffer.data() + size_t(y) * size_t(width);
        const auto* under = direct ? reinterpret_cast<const QRgb*>(page->constScanLine(area.top() + y)) + area.left()
                                   : nullptr;
        for (int x = 0; x < width; ++x) {
            if (!line[x])
                continue;
            const int level = (qAlpha(line[x]) * 16 + 127) / 255;
            if (!page) {
                line[x] = qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), 255 - Ramp[16 - level]));
                continue;
            }
            const QRgb d = under ? under[x] : page->pixel(area.left() + x, area.top() + y);
            line[x] = qRgb(table.Channel[0][level][qRed(d)], table.Channel[1][level][qGreen(d)],
                           table.Channel[2][level][qBlue(d)]);
        }
    }
    const QTransform world = FPainter.worldTransform();
    FPainter.setWorldTransform(FBase);
    FPainter.drawImage(area.topLeft(), mask);
    FPainter.setWorldTransform(world);
    return true;
}

void TEmfPlayer::AddTextToPath(const QRawFont& Font, const QVector<quint32>& Glyphs, int Count,
                               const std::vector<double>& DevAdvance, const QTransform& GlyphToDevice, double Stretch)
{
    // Upright text puts each glyph on a whole pixel, as it is drawn.
    const bool upright = GlyphToDevice.type() <= QTransform::TxScale;
    QPainterPath outline;
    double pos = 0;
    for (int i = 0; i < Count && i < Glyphs.size(); ++i) {
        if (Glyphs[i])
            outline.addPath(Font.pathForGlyph(Glyphs[i]).translated((upright ? std::round(pos) : pos) / Stretch, 0));
        pos += DevAdvance[size_t(i)];
    }
    const QPainterPath device = GlyphToDevice.map(outline);
    if (PathRoom(device.elementCount()))
        FState.Path.addPath(device);
}

void TEmfPlayer::TextRecord(const TEmfRecord& R)
{
    if (!R.Has(8, 68))
        return;
    const bool wide = R.Type() == EMR_EXTTEXTOUTW;
    FState.GraphicsMode = R.U32(24); // a text record carries the mode it was drawn in
    const QPointF ref(R.I32(36), R.I32(40));
    const uint32_t count = R.U32(44), offString = R.U32(48), options = R.U32(52);
    const bool hasRect = !(options & ETO_NO_RECT);
    const uint32_t offDx = R.U32(hasRect ? 72 : 56);
    QRectF rect;
    if (hasRect)
        rect = QRectF(QPointF(R.I32(56), R.I32(60)), QPointF(R.I32(64), R.I32(68)));
    if (count && !R.HasArray(offString, count, wide ? 2 : 1))
        return; // text that is not inside its record: skip the record
    QString text;
    std::vector<int> bytesPerUnit;
    if (wide) {
        text.resize(qsizetype(count));
        for (uint32_t i = 0; i < count; ++i)
            text[qsizetype(i)] = QChar(R.U16(offString + 2 * size_t(i)));
    } else if (count) {
        const int codePage = EmfCodePageForCharset(FState.Font->Charset);
        text = EmfDecodeAnsi(R.Ptr(offString, count), count, codePage, &bytesPerUnit);
    }
    if (FState.Font->Face.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0 && !(options & ETO_GLYPH_INDEX))
        text = EmfSymbolToUnicode(text);
    const size_t dxStride = (options & ETO_PDY) ? 8 : 4;
    const bool hasDx = count && offDx && R.HasArray(offDx, count, dxStride);
    std::vector<double> advances, rises;
    auto perCharacter = [&](size_t Field) {
        std::vector<double> raw(count);
        for (uint32_t i = 0; i < count; ++i)
            raw[i] = R.I32(offDx + dxStride * i + Field);
        if (wide)
            return raw;
        // One advance per byte: a character of several bytes takes them all.
        std::vector<double> out;
        size_t b = 0;
        for (int n : bytesPerUnit) {
            double a = 0;
            for (int k = 0; k < n && b < raw.size(); ++k)
                a += raw[b++];
            out.push_back(a);
        }
        return out;
    };
    if (hasDx) {
        advances = perCharacter(0);
        if (options & ETO_PDY)
            rises = perCharacter(4);
    }
    DrawText(ref, text, std::move(advances), options, hasRect ? &rect : nullptr, wide && (options & ETO_GLYPH_INDEX),
             hasDx, std::move(rises));
}

void TEmfPlayer::DrawText(QPointF Ref, const QString& Stored, std::vector<double> Advances, uint32_t Options,
                          const QRectF* Rect, bool GlyphIndexes, bool HasAdvances, std::vector<double> Rises)
{
    // Strings are stored in reading order: right-to-left scripts, and any
    // text asked to read right to left, are drawn in display order with
    // Arabic letters joined. Glyph indexes come laid out already.
    QString text = Stored;
    const bool rtlParagraph = (Options & ETO_RTLREADING) || (FState.TextAlign & TA_RTLREADING);
    if (!GlyphIndexes && !text.isEmpty() && (rtlParagraph || EmfHasRightToLeft(text))) {
        text = EmfShapeArabic(text);
        EmfReorderForDisplay(text, Advances, rtlParagraph, &Rises);
    }
    BeginDraw();
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRect devRect;
    if (Rect && (Options & (ETO_OPAQUE | ETO_CLIPPED)))
        devRect = DevRect(Rect->left(), Rect->top(), Rect->right(), Rect->bottom());
    const bool opaque = Rect && (Options & ETO_OPAQUE) && !FState.InPath;
    // Glyphs are priced as points; their pixels are few beside the box's.
    if (!Afford(opaque ? QRectF(devRect) : QRectF(), uint64_t(text.size())))
        return;
    if (opaque)
        FPainter.fillRect(devRect, FState.BkColor);
    if (text.isEmpty())
        return;

    const TEmfFont& font = *FState.Font;
    const double sx = ScaleX();
    // Smoothed text stands where its advances put it, to a fraction of a
    // pixel along the line; its baseline stays on a pixel edge, which the
    // vertical hinting is made for. A font asking for no antialiasing gets
    // none in either mode, on whole pixels as GDI puts it.
    constexpr uint8_t NonAntialiasedQuality = 3;
    TEmfGlyphStyle style = TEmfGlyphStyle::Gdi;
    if (FRasterOps && FOptions.Text == TEmfTextMode::Smooth)
        style = font.Quality == NonAntialiasedQuality ? TEmfGlyphStyle::Mono : TEmfGlyphStyle::Smooth;
    const bool fractional = style == TEmfGlyphStyle::Smooth;
    TEmfResolvedFont rf = EmfResolveFont(font, sx, ScaleY(), style);
    if (!rf.Raw.isValid())
        return;
    const QRawFont& raw = rf.Raw;

    // Text direction and "down" on the device: the mapping's x axis, turned
    // by the escapement; glyphs stay upright whatever the y axis does.
    // In the advanced graphics mode a mirroring world transform mirrors the
    // text as well: it runs the other way, its glyphs mirrored.
    const bool mirrored = FState.GraphicsMode == GM_ADVANCED && FState.World.determinant() < 0;
    QPointF u = Unit(FXform.map(QPointF(1, 0)) - FXform.map(QPointF(0, 0)));
    if (FXform.type() <= QTransform::TxScale && !mirrored)
        u = QPointF(1, 0);
    auto down = [mirrored](QPointF U) { return mirrored ? QPointF(U.y(), -U.x()) : QPointF(-U.y(), U.x()); };
    QPointF v = down(u);
    if (font.Escapement % 3600) {
        const double a = font.Escapement / 10.0 * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
        const QPointF ru(u.x() * c + u.y() * s, -u.x() * s + u.y() * c);
        u = ru;
        v = down(u);
    }

    // A picture font (Wingdings and the like) with no installed stand-in:
    // letters in its place would read as text that is not there, so its
    // characters show as missing-glyph boxes.
    const bool missingPictureFont = font.Charset == 2 && !GlyphIndexes &&
                                    font.Face.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) != 0 &&
                                    rf.Family.compare(font.Face, Qt::CaseInsensitive) != 0;
    QVector<quint32> glyphs;
    if (missingPictureFont) {
        glyphs.fill(0, text.size());
    } else if (GlyphIndexes) {
        glyphs.resize(text.size());
        for (int i = 0; i < text.size(); ++i)
            glyphs[i] = text[i].unicode();
    } else {
        glyphs = GlyphsFor(raw, text);
    }
    const int n = int(text.size());
    std::vector<double> devAdvance(size_t(n), 0.0);
    double logicalTotal = 0;
    if (HasAdvances && Advances.size() == size_t(n)) {
        for (int i = 0; i < n; ++i) {
            devAdvance[size_t(i)] = Advances[size_t(i)] * sx;
            logicalTotal += Advances[size_t(i)];
        }
    } else {
        const QVector<QPointF> natural = raw.advancesForGlyphIndexes(glyphs);
        for (int i = 0; i < n && i < natural.size(); ++i)
            devAdvance[size_t(i)] = std::round(natural[i].x() * rf.Stretch);
        double total = 0;
        for (double a : devAdvance)
            total += a;
        logicalTotal = sx > 0 ? total / sx : 0;
    }
    double width = 0;
    for (double a : devAdvance)
        width += a;

    const bool updateCp = FState.TextAlign & TA_UPDATECP;
    const QPointF logicalRef = updateCp ? FState.CurPos : Ref;
    QPointF origin = FXform.map(logicalRef);
    // GDI puts the reference point on a pixel before any offset; smoothed
    // text is placed exactly and only its baseline goes on a pixel edge.
    if (AxisAligned() && !fractional)
        origin = QPointF(std::round(origin.x()), std::round(origin.y()));
    const uint32_t halign = FState.TextAlign & TA_CENTER;
    if (halign == TA_CENTER)
        origin -= u * (width / 2);
    else if (halign == TA_RIGHT)
        origin -= u * width;
    // GDI's text metrics are whole logical units: the device ascent is
    // rounded, turned into logical units and back, each step rounded.
    // Smoothed text takes the exact ascent in whole logical units, as the
    // page was laid out, without the steps through whole pixels.
    const double unitsY = std::max(1e-9, std::fabs(ScaleY()));
    auto asMetric = [unitsY, fractional](double Device) {
        return fractional ? std::round(Device / unitsY) * unitsY
                          : std::round(std::round(std::round(Device) / unitsY) * unitsY);
    };
    const double ascent = asMetric(rf.Ascent), descent = asMetric(rf.Descent);
    const uint32_t valign = FState.TextAlign & TA_BASELINE;
    if (valign == TA_BOTTOM)
        origin -= v * descent;
    else if (valign != TA_BASELINE)
        origin += v * ascent;
    if (updateCp) {
        if (halign == TA_RIGHT)
            FState.CurPos.rx() -= logicalTotal;
        else if (halign != TA_CENTER)
            FState.CurPos.rx() += logicalTotal;
    }
    const bool upright = std::fabs(u.y()) < 1e-9 && u.x() > 0;
    // A smoothed baseline goes to the pixel edge at or above its exact
    // place, where PDF viewers (poppler) put it; the nearest edge put text a
    // pixel lower than theirs wherever a baseline fell past half a pixel,
    // on every other row at 144 dpi.
    if (upright)
        origin = fractional ? QPointF(origin.x(), std::floor(origin.y() + 1.0 / 64))
                            : QPointF(std::round(origin.x()), std::round(origin.y()));

    const QTransform glyphSpace(u.x(), u.y(), v.x(), v.y(), origin.x(), origin.y());
    if (FState.InPath) {
        // Inside a path bracket the glyph outlines join the path.
        AddTextToPath(raw, glyphs, n, devAdvance, QTransform::fromScale(rf.Stretch, 1) * glyphSpace, rf.Stretch);
        return;
    }
    const bool clipped = (Options & ETO_CLIPPED) && Rect;
    if (clipped) {
        FPainter.save();
        FPainter.setClipRect(devRect, FPainter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    if (FState.BkMode == OPAQUE && !(Options & ETO_OPAQUE)) {
        const QPolygonF box = glyphSpace.map(QPolygonF(QRectF(0, -ascent, width, ascent + descent)));
        FPainter.setPen(Qt::NoPen);
        FPainter.setBrush(FState.BkColor);
        // Rounded through RoundPoint, which clamps: a damaged record can put
        // the box beyond what an int holds.
        const QRectF bounds = box.boundingRect();
        const QRect snapped(RoundPoint(bounds.topLeft()), RoundPoint(bounds.bottomRight()) - QPoint(1, 1));
        FPainter.drawPolygon(upright ? QPolygonF(QRectF(snapped)) : box);
    }

    // Positions along the baseline in device pixels, rounded like GDI's;
    // ETO_PDY's vertical advances move the following characters up.
    QVector<QPointF> positions(n);
    const bool withRises = HasAdvances && Rises.size() == size_t(n);
    const double sy = std::fabs(ScaleY());
    double pos = 0, rise = 0;
    for (int i = 0; i < n; ++i) {
        positions[i] = QPointF((upright && !fractional ? std::round(pos) : pos) / rf.Stretch,
                               upright ? -std::round(rise) : -rise);
        pos += devAdvance[size_t(i)];
        if (withRises)
            rise += Rises[size_t(i)] * sy;
    }
    FPainter.setWorldTransform(QTransform::fromScale(rf.Stretch, 1) * glyphSpace * FBase);
    FPainter.setPen(FState.TextColor);
    if (FVectorText && !GlyphIndexes && !missingPictureFont) {
        QFont qf(rf.Family);
        qf.setPixelSize(rf.PixelSize);
        qf.setWeight(QFont::Weight(font.Weight <= 0 ? 400 : std::clamp(font.Weight, 1, 1000)));
        qf.setItalic(font.Italic);
        FPainter.setFont(qf);
        for (int i = 0; i < n; ++i)
            if (!text[i].isSpace() && !text[i].isLowSurrogate())
                FPainter.drawText(positions[i], text.mid(i, text[i].isHighSurrogate() && i + 1 < n ? 2 : 1));
    } else {
        QVector<quint32> mainGlyphs;
        QVector<QPointF> mainPositions;
        QVector<quint32> fallbackGlyphs;
        QVector<QPointF> fallbackPositions;
        QRawFont fallback, wide;
        bool fallbackSmoothed = true, wideSmoothed = true;
        QVector<quint32> wideGlyphs;
        QVector<QPointF> widePositions;
        for (int i = 0; i < n; ++i) {
            if (glyphs[i] || (missingPictureFont && !text[i].isSpace())) {
                mainGlyphs.append(glyphs[i]);
                mainPositions.append(positions[i]);
                continue;
            }
            if (GlyphIndexes || text[i].isSpace() || text[i].isLowSurrogate() || text[i].unicode() < 32)
                continue;
            if (!fallback.isValid()) {
                fallback = EmfRawFontIn(style, QStringLiteral("DejaVu Sans"), rf.PixelSize, font.Weight, font.Italic,
                                        &fallbackSmoothed);
            }
            const QString character = text.mid(i, text[i].isHighSurrogate() ? 2 : 1);
            const QVector<quint32> g = GlyphsFor(fallback, character);
            if (!g.isEmpty() && g[0]) {
                fallbackGlyphs.append(g[0]);
                fallbackPositions.append(positions[i]);
                continue;
            }
            // CJK and other scripts: a face that has them, or at least the
            // missing-glyph box, never nothing.
            if (!wide.isValid()) {
                wide = EmfRawFontIn(style, QStringLiteral("WenQuanYi Micro Hei"), rf.PixelSize, font.Weight,
                                    font.Italic, &wideSmoothed);
            }
            const QVector<quint32> w = wide.isValid() ? GlyphsFor(wide, character) : QVector<quint32>();
            if (!w.isEmpty() && w[0]) {
                wideGlyphs.append(w[0]);
                widePositions.append(positions[i]);
            } else {
                mainGlyphs.append(0);
                mainPositions.append(positions[i]);
            }
        }
        // Qt's glyph cache draws nothing for some glyphs above its default
        // size, and its outline fallback depends on an environment limit:
        // large glyphs are filled as outlines here, on every device.
        const bool outlines = rf.PixelSize * std::max(1.0, rf.Stretch) > EmfLargestCachedGlyph;
        auto draw = [&](const QRawFont& Font, bool Smoothed, const QVector<quint32>& Glyphs,
                        const QVector<QPointF>& Positions) {
            if (Glyphs.isEmpty())
                return;
            if (outlines) {
                FillGlyphOutlines(Font, Glyphs, Positions, FState.TextColor);
                return;
            }
            QGlyphRun run;
            run.setRawFont(Font);
            run.setGlyphIndexes(Glyphs);
            run.setPositions(Positions);
            if (FRasterOps && Smoothed && style == TEmfGlyphStyle::Gdi &&
                DrawGlyphsLikeGdi(run, QTransform::fromScale(rf.Stretch, 1) * glyphSpace, FState.TextColor))
                return;
            FPainter.drawGlyphRun(QPointF(0, 0), run);
        };
        draw(raw, rf.Smoothed, mainGlyphs, mainPositions);
        draw(fallback, fallbackSmoothed, fallbackGlyphs, fallbackPositions);
        draw(wide, wideSmoothed, wideGlyphs, widePositions);
    }
    if (font.Underline || font.StrikeOut) {
        // GDI hands the bars' metrics through whole logical units, as the
        // ascent above (smoothed text keeps them on whole pixels); each bar
        // starts half its height above its position (the face's post table
        // gives the underline's middle).
        const TEmfTextBars bars = EmfTextBars(raw);
        auto whole = [&asMetric, fractional](double Device) { return fractional ? Device : asMetric(Device); };
        auto bar = [&](double Pos, double Size) {
            const double height = std::max(1.0, std::fabs(whole(Size)));
            return QRectF(0, -(whole(Pos) + std::floor(height / 2)), width / rf.Stretch, height);
        };
        FPainter.setPen(Qt::NoPen);
        FPainter.setBrush(FState.TextColor);
        if (font.Underline)
            FPainter.drawRect(bar(bars.UnderPos, bars.UnderSize));
        if (font.StrikeOut)
            FPainter.drawRect(bar(bars.StrikePos, bars.StrikeSize));
    }
    FPainter.setWorldTransform(FBase);
    if (clipped)
        FPainter.restore();
}
