// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/dib.h"

#include "platform/emf/emfrecords.h"
#include "platform/littleendian.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace {

std::atomic<int64_t> DirectPixels{DibDefaultDirectPixels};
std::atomic<int64_t> PeakPixels{0};

void NoteAllocation(const QImage& Image)
{
    const int64_t pixels = int64_t(Image.width()) * Image.height();
    int64_t peak = PeakPixels.load();
    while (pixels > peak && !PeakPixels.compare_exchange_weak(peak, pixels)) {
    }
}

// Whether [Offset, Offset + Size) lies within Total, without overflow.
bool Fits(uint64_t Offset, uint64_t Size, uint64_t Total)
{
    return Offset <= Total && Size <= Total - Offset;
}

const QList<QRgb>& Vga16()
{
    static const QList<QRgb> t = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
                                  0xFF008080, 0xFFC0C0C0, 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                                  0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    return t;
}

// What a bitmap without a colour table shows: GDI's defaults per depth.
QList<QRgb> FallbackTable(int BitCount)
{
    if (BitCount == 1)
        return {0xFF000000, 0xFFFFFFFF};
    if (BitCount == 4)
        return Vga16();
    QList<QRgb> t(256, 0xFF000000);
    const QList<QRgb>& sys = DefaultSystemPalette();
    for (int i = 0; i < 10; ++i) {
        t[i] = sys[i];
        t[246 + i] = sys[10 + i];
    }
    return t;
}

QList<QRgb> ColorTable(const uint8_t* Info, size_t InfoSize, const TDibInfo& I, const TDibOptions& O)
{
    QList<QRgb> t = FallbackTable(I.BitCount);
    const int n = std::min<int>(int(I.ColorCount), 1 << I.BitCount);
    const QList<QRgb>& pal = O.Palette ? *O.Palette : DefaultSystemPalette();
    for (int i = 0; i < n; ++i) {
        const uint64_t at = uint64_t(I.ColorTableOffset) + uint64_t(i) * I.ColorEntrySize;
        if (!Fits(at, I.ColorEntrySize, InfoSize))
            break;
        const uint8_t* e = Info + at;
        if (I.ColorEntrySize == 2) {
            const uint16_t k = GetLE16(e);
            t[i] = k < pal.size() ? (pal[k] | 0xFF000000) : 0xFF000000;
        } else {
            t[i] = qRgb(e[2], e[1], e[0]);
        }
    }
    t.resize(1 << I.BitCount, 0xFF000000);
    return t;
}

// Scales a masked channel to 8 bits by bit replication, as GDI widens 5-bit
// channels ((v << 3) | (v >> 2)).
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0, Bits = 0;
    explicit TChannel(uint32_t M) : Mask(M)
    {
        if (!M)
            return;
        while (!((M >> Shift) & 1))
            ++Shift;
        while (Shift + Bits < 32 && ((M >> (Shift + Bits)) & 1))
            ++Bits;
    }
    int operator()(uint32_t Px) const
    {
        if (!Bits)
            return 0;
        uint32_t v = (Px & Mask) >> Shift;
        if (Bits >= 8)
            return int(v >> (Bits - 8));
        uint32_t r = 0;
        for (int filled = 0; filled < 8; filled += Bits)
            r |= (8 - filled >= Bits) ? v << (8 - filled - Bits) : v >> (Bits - (8 - filled));
        return int(r & 0xFF);
    }
};

// One pixel of 16, 24 or 32 bits as DecodeDib gives it.
struct TMaskedReader {
    TChannel R, G, B, A;
    uint16_t BitCount;
    bool Rgb, Alpha, Plain32;
    TMaskedReader(const TDibInfo& I, bool UseAlpha)
        : R(I.Masks[0]), G(I.Masks[1]), B(I.Masks[2]), A(I.Masks[3]), BitCount(I.BitCount),
          Rgb(I.Compression == BI_RGB), Alpha(UseAlpha && I.BitCount == 32 && (I.Compression == BI_RGB || I.Masks[3])),
          Plain32(I.BitCount == 32 && I.Masks[0] == 0xFF0000 && I.Masks[1] == 0xFF00 && I.Masks[2] == 0xFF)
    {
    }
    QImage::Format Format() const { return Alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32; }
    QRgb operator()(const uint8_t* Row, int64_t X) const
    {
        uint32_t px;
        if (BitCount == 16)
            px = GetLE16(Row + 2 * X);
        else if (BitCount == 24)
            px = uint32_t(Row[3 * X]) | uint32_t(Row[3 * X + 1]) << 8 | uint32_t(Row[3 * X + 2]) << 16;
        else
            px = GetLE32(Row + 4 * X);
        if (Plain32 && !Alpha)
            return px | 0xFF000000;
        if (!Alpha)
            return qRgb(R(px), G(px), B(px));
        const int al = Rgb ? int(px >> 24) : A(px);
        // Premultiplied data with a colour above its alpha is invalid for Qt.
        return qRgba(std::min(R(px), al), std::min(G(px), al), std::min(B(px), al), al);
    }
};

QImage DecodeMasked(const TDibInfo& I, const uint8_t* Bits, uint64_t Stride, bool UseAlpha)
{
    const TMaskedReader read(I, UseAlpha);
    QImage img(I.Width, I.Height, read.Format());
    if (img.isNull())
        return img;
    NoteAllocation(img);
    for (int y = 0; y < I.Height; ++y) {
        const uint8_t* src = Bits + Stride * uint64_t(I.TopDown ? y : I.Height - 1 - y);
        QRgb* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < I.Width; ++x)
            dst[x] = read(src, x);
    }
    return img;
}

QImage DecodeIndexed(const TDibInfo& I, const uint8_t* Bits, uint64_t Stride, QList<QRgb> Table)
{
    QImage img(I.Width, I.Height, I.BitCount == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
    if (img.isNull())
        return img;
    NoteAllocation(img);
    img.setColorTable(std::move(Table));
    const uint64_t rowBytes = (uint64_t(I.Width) * I.BitCount + 7) / 8;
    for (int y = 0; y < I.Height; ++y) {
        const uint8_t* src = Bits + Stride * uint64_t(I.TopDown ? y : I.Height - 1 - y);
        uchar* dst = img.scanLine(y);
        if (I.BitCount == 1)
            std::memcpy(dst, src, rowBytes); // both MSB first
        else if (I.BitCount == 8)
            std::memcpy(dst, src, rowBytes);
        else
            for (int x = 0; x < I.Width; ++x)
                dst[x] = (x & 1) ? (src[x / 2] & 0x0F) : (src[x / 2] >> 4);
    }
    return img;
}

// Bottom-up run-length data; every step consumes at least two bytes, so a
// hostile stream ends within BitsSize / 2 steps. Put(x, y, index) gets each
// pixel inside the bitmap with y counted in stored order; the walk stops
// before stored row End.
template <typename TPut>
void WalkRle(const TDibInfo& I, const uint8_t* Bits, size_t BitsSize, int64_t End, TPut&& Put)
{
    const bool four = I.Compression == BI_RLE4;
    int64_t x = 0, y = 0;
    auto put = [&](uint8_t index) {
        if (x < I.Width && y < End)
            Put(x, y, index);
        ++x;
    };
    size_t p = 0;
    while (p + 2 <= BitsSize && y < End) {
        const uint8_t count = Bits[p], value = Bits[p + 1];
        p += 2;
        if (count) {
            for (int i = 0; i < count && x < I.Width; ++i)
                put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (p + 2 > BitsSize)
                break;
            x += Bits[p];
            y += Bits[p + 1];
            p += 2;
        } else {
            const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
            if (bytes > BitsSize - p)
                break;
            for (int i = 0; i < value; ++i)
                put(four ? ((i & 1) ? Bits[p + i / 2] & 0x0F : Bits[p + i / 2] >> 4) : Bits[p + i]);
            p += (bytes + 1) & ~size_t(1); // runs are padded to 16 bits
        }
    }
}

QImage DecodeRle(const TDibInfo& I, const uint8_t* Bits, size_t BitsSize, const QList<QRgb>& Table)
{
    QImage img(I.Width, I.Height, QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return img;
    NoteAllocation(img);
    img.fill(0);
    WalkRle(I, Bits, BitsSize, I.Height, [&](int64_t x, int64_t y, uint8_t index) {
        reinterpret_cast<QRgb*>(img.scanLine(int(I.TopDown ? y : I.Height - 1 - y)))[x] = Table[index];
    });
    return img;
}

// Writers often leave out the padding of the last row.
bool HasAllRows(const TDibInfo& I, size_t BitsSize, uint64_t Stride)
{
    const uint64_t lastRow = (uint64_t(I.Width) * I.BitCount + 7) / 8;
    return uint64_t(BitsSize) >= Stride * uint64_t(I.Height - 1) + lastRow;
}

QImage DecodeEmbedded(const uint8_t* Bits, size_t BitsSize, const char* Format)
{
    if (BitsSize > size_t(INT32_MAX))
        return {};
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Bits), qsizetype(BitsSize));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, Format);
    const QSize s = reader.size();
    if (!s.isValid() || s.width() > DibMaxSide || s.height() > DibMaxSide ||
        int64_t(s.width()) * s.height() > DibMaxPixels)
        return {};
    // A few bytes of compressed data can claim any size: larger images come
    // scaled down to the direct decoding limit (JPEG decodes them so).
    const double area = double(s.width()) * s.height();
    if (area > double(DibDirectPixels())) {
        const double f = std::sqrt(double(DibDirectPixels()) / area);
        reader.setScaledSize(QSize(std::max(1, int(s.width() * f)), std::max(1, int(s.height() * f))));
    }
    QImage img = reader.read();
    if (img.isNull())
        return img;
    NoteAllocation(img);
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// For each source column (or row) c, the result columns sampling it are
// List[Start[c] .. Start[c + 1]).
struct TInverseSampling {
    std::vector<int32_t> Start, List;
    TInverseSampling(const std::vector<int32_t>& Samples, int32_t Size) : Start(size_t(Size) + 1, 0)
    {
        for (int32_t c : Samples)
            if (c >= 0 && c < Size)
                ++Start[size_t(c) + 1];
        for (int32_t c = 0; c < Size; ++c)
            Start[size_t(c) + 1] += Start[size_t(c)];
        List.resize(size_t(Start.back()));
        std::vector<int32_t> next(Start.begin(), Start.end() - 1);
        for (size_t i = 0; i < Samples.size(); ++i)
            if (Samples[i] >= 0 && Samples[i] < Size)
                List[size_t(next[size_t(Samples[i])]++)] = int32_t(i);
    }
};

QImage SampledImage(const TDibSampling& S, QImage::Format Format)
{
    const int64_t w = int64_t(S.Columns.size()), h = int64_t(S.Rows.size());
    if (w <= 0 || h <= 0 || w > INT32_MAX || h > INT32_MAX || w * h > DibMaxPixels)
        return {};
    QImage img(int(w), int(h), Format);
    if (img.isNull())
        return img;
    NoteAllocation(img);
    img.fill(0);
    return img;
}

bool Inside(int32_t At, int32_t Size)
{
    return At >= 0 && At < Size;
}

QImage SampleUncompressed(const TDibInfo& I, const uint8_t* Bits, uint64_t Stride, const TDibSampling& S,
                          const QList<QRgb>& Table, bool UseAlpha)
{
    const TMaskedReader read(I, UseAlpha);
    const QImage::Format format = I.BitCount == 1 ? QImage::Format_Mono
                                : I.BitCount <= 8 ? QImage::Format_Indexed8
                                                  : read.Format();
    QImage img = SampledImage(S, format);
    if (img.isNull())
        return img;
    if (I.BitCount <= 8)
        img.setColorTable(Table);
    for (int y = 0; y < img.height(); ++y) {
        const int32_t row = S.Rows[size_t(y)];
        if (!Inside(row, I.Height))
            continue;
        const uint8_t* src = Bits + Stride * uint64_t(I.TopDown ? row : I.Height - 1 - row);
        uchar* dst = img.scanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            const int32_t c = S.Columns[size_t(x)];
            if (!Inside(c, I.Width))
                continue;
            switch (I.BitCount) {
            case 1:
                if ((src[c / 8] >> (7 - c % 8)) & 1)
                    dst[x / 8] |= uchar(0x80 >> (x % 8));
                break;
            case 4: dst[x] = (c & 1) ? (src[c / 2] & 0x0F) : (src[c / 2] >> 4); break;
            case 8: dst[x] = src[c]; break;
            default: reinterpret_cast<QRgb*>(dst)[x] = read(src, c); break;
            }
        }
    }
    return img;
}

QImage SampleRle(const TDibInfo& I, const uint8_t* Bits, size_t BitsSize, const TDibSampling& S,
                 const QList<QRgb>& Table)
{
    QImage img = SampledImage(S, QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return img;
    const TInverseSampling columns(S.Columns, I.Width), rows(S.Rows, I.Height);
    // Stored rows past the last sampled one need not be walked.
    int64_t end = 0;
    for (int32_t r = 0; r < I.Height; ++r)
        if (rows.Start[size_t(r)] != rows.Start[size_t(r) + 1])
            end = std::max<int64_t>(end, (I.TopDown ? r : I.Height - 1 - r) + 1);
    WalkRle(I, Bits, BitsSize, end, [&](int64_t x, int64_t y, uint8_t index) {
        const size_t row = size_t(I.TopDown ? y : I.Height - 1 - y);
        for (int32_t c = columns.Start[size_t(x)]; c < columns.Start[size_t(x) + 1]; ++c)
            for (int32_t r = rows.Start[row]; r < rows.Start[row + 1]; ++r)
                reinterpret_cast<QRgb*>(img.scanLine(rows.List[size_t(r)]))[columns.List[size_t(c)]] = Table[index];
    });
    return img;
}

QImage SampleEmbedded(const TDibInfo& I, const uint8_t* Bits, size_t BitsSize, const char* Format,
                      const TDibSampling& S)
{
    const QImage whole = DecodeEmbedded(Bits, BitsSize, Format);
    if (whole.isNull())
        return whole;
    QImage img = SampledImage(S, QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return img;
    // The embedded image may have come scaled down; samples count in the
    // header's pixels.
    const double fx = double(whole.width()) / I.Width, fy = double(whole.height()) / I.Height;
    for (int y = 0; y < img.height(); ++y) {
        const int32_t row = S.Rows[size_t(y)];
        const int64_t sy = int64_t(row * fy);
        if (!Inside(row, I.Height) || sy >= whole.height())
            continue;
        const QRgb* src = reinterpret_cast<const QRgb*>(whole.constScanLine(int(sy)));
        QRgb* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int32_t c = S.Columns[size_t(x)];
            const int64_t sx = int64_t(c * fx);
            if (Inside(c, I.Width) && sx < whole.width())
                dst[x] = src[sx];
        }
    }
    return img;
}

} // namespace

const QList<QRgb>& DefaultSystemPalette()
{
    static const QList<QRgb> t = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080,
                                  0xFFC0C0C0, 0xFFC0DCC0, 0xFFA6CAF0, 0xFFFFFBF0, 0xFFA0A0A4, 0xFF808080, 0xFFFF0000,
                                  0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    return t;
}

bool ReadDibInfo(const uint8_t* Info, size_t InfoSize, TDibInfo& Out, uint32_t Usage)
{
    Out = TDibInfo();
    if (!Info || InfoSize < 12)
        return false;
    const uint32_t size = GetLE32(Info);
    uint32_t clrUsed = 0;
    int64_t width, height;
    if (size == 12) {
        width = GetLE16(Info + 4);
        height = GetLE16(Info + 6);
        Out.BitCount = GetLE16(Info + 10);
        Out.ColorEntrySize = 3;
    } else {
        if (size < 40 || size > InfoSize)
            return false;
        width = int32_t(GetLE32(Info + 4));
        height = int32_t(GetLE32(Info + 8));
        Out.BitCount = GetLE16(Info + 14);
        Out.Compression = GetLE32(Info + 16);
        clrUsed = GetLE32(Info + 32);
        Out.ColorEntrySize = 4;
    }
    if (Usage == DIB_PAL_COLORS)
        Out.ColorEntrySize = 2;
    Out.HeaderSize = size;
    Out.TopDown = height < 0;
    height = height < 0 ? -height : height; // int64: INT32_MIN is safe here
    if (width <= 0 || height <= 0 || width > DibMaxSide || height > DibMaxSide || width * height > DibMaxPixels)
        return false;
    Out.Width = int32_t(width);
    Out.Height = int32_t(height);

    const uint16_t bpp = Out.BitCount;
    switch (Out.Compression) {
    case BI_RGB:
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            return false;
        break;
    case BI_RLE8:
        if (bpp != 8)
            return false;
        break;
    case BI_RLE4:
        if (bpp != 4)
            return false;
        break;
    case BI_BITFIELDS:
        if (bpp != 16 && bpp != 32)
            return false;
        break;
    case BI_JPEG:
    case BI_PNG: break;
    default: return false;
    }

    uint32_t tableAt = size;
    if (Out.Compression == BI_BITFIELDS) {
        if (size == 40) { // masks follow a plain info header
            if (!Fits(40, 12, InfoSize))
                return false;
            tableAt += 12;
        }
        for (int i = 0; i < 3; ++i)
            Out.Masks[i] = GetLE32(Info + 40 + 4 * i);
        if (size >= 56)
            Out.Masks[3] = GetLE32(Info + 52);
        if (!Out.Masks[0] && !Out.Masks[1] && !Out.Masks[2])
            Out.Compression = BI_RGB; // no usable masks: read as the defaults
    }
    if (Out.Compression == BI_RGB) {
        if (bpp == 16) {
            Out.Masks[0] = 0x7C00;
            Out.Masks[1] = 0x03E0;
            Out.Masks[2] = 0x001F;
        } else if (bpp >= 24) {
            Out.Masks[0] = 0xFF0000;
            Out.Masks[1] = 0xFF00;
            Out.Masks[2] = 0xFF;
        }
    }
    Out.ColorTableOffset = tableAt;
    const uint32_t maxColors = bpp <= 8 ? 1u << bpp : 0;
    uint32_t stored = clrUsed;
    if (bpp <= 8)
        stored = (clrUsed == 0 || clrUsed > maxColors) ? maxColors : clrUsed;
    Out.ColorCount = bpp <= 8 ? stored : 0;
    const uint64_t tableBytes = uint64_t(stored) * Out.ColorEntrySize;
    Out.HasColorTable = Out.ColorCount > 0 && Fits(tableAt, tableBytes, InfoSize);
    Out.PackedBitsOffset = uint64_t(tableAt) + tableBytes;
    return true;
}

int64_t DibDirectPixels()
{
    return DirectPixels.load();
}

void SetDibDirectPixels(int64_t Pixels)
{
    DirectPixels.store(Pixels);
}

int64_t DibPeakPixels()
{
    return PeakPixels.load();
}

void ResetDibPeakPixels()
{
    PeakPixels.store(0);
}

QImage DecodeDib(const uint8_t* Info, size_t InfoSize, const uint8_t* Bits, size_t BitsSize, const TDibOptions& Options,
                 TDibInfo* Out)
{
    TDibInfo info;
    if (!ReadDibInfo(Info, InfoSize, info, Options.Usage) || !Bits) {
        if (Out)
            *Out = info;
        return {};
    }
    if (Out)
        *Out = info;
    switch (info.Compression) {
    case BI_JPEG: return DecodeEmbedded(Bits, BitsSize, "JPEG");
    case BI_PNG: return DecodeEmbedded(Bits, BitsSize, "PNG");
    default: break;
    }
    if (int64_t(info.Width) * info.Height > DibDirectPixels()) {
        const int32_t side = int32_t(std::min<double>(DibDirectSide, std::sqrt(double(DibDirectPixels()))));
        TDibSampling corner;
        for (int32_t x = 0; x < std::min(info.Width, std::max(side, 1)); ++x)
            corner.Columns.push_back(x);
        for (int32_t y = 0; y < std::min(info.Height, std::max(side, 1)); ++y)
            corner.Rows.push_back(y);
        return DecodeDibSampled(Info, InfoSize, Bits, BitsSize, corner, Options);
    }
    if (info.Compression == BI_RLE4 || info.Compression == BI_RLE8)
        return DecodeRle(info, Bits, BitsSize, ColorTable(Info, InfoSize, info, Options));
    const uint64_t stride = ((uint64_t(info.Width) * info.BitCount + 31) / 32) * 4;
    if (!HasAllRows(info, BitsSize, stride))
        return {};
    if (info.BitCount <= 8)
        return DecodeIndexed(info, Bits, stride, ColorTable(Info, InfoSize, info, Options));
    return DecodeMasked(info, Bits, stride, Options.UseAlpha);
}

QImage DecodeDibSampled(const uint8_t* Info, size_t InfoSize, const uint8_t* Bits, size_t BitsSize,
                        const TDibSampling& Sampling, const TDibOptions& Options, TDibInfo* Out)
{
    TDibInfo info;
    const bool valid = ReadDibInfo(Info, InfoSize, info, Options.Usage) && Bits;
    if (Out)
        *Out = info;
    if (!valid)
        return {};
    switch (info.Compression) {
    case BI_JPEG: return SampleEmbedded(info, Bits, BitsSize, "JPEG", Sampling);
    case BI_PNG: return SampleEmbedded(info, Bits, BitsSize, "PNG", Sampling);
    case BI_RLE4:
    case BI_RLE8: return SampleRle(info, Bits, BitsSize, Sampling, ColorTable(Info, InfoSize, info, Options));
    default: break;
    }
    const uint64_t stride = ((uint64_t(info.Width) * info.BitCount + 31) / 32) * 4;
    if (!HasAllRows(info, BitsSize, stride))
        return {};
    return SampleUncompressed(info, Bits, stride, Sampling,
                              info.BitCount <= 8 ? ColorTable(Info, InfoSize, info, Options) : QList<QRgb>(),
                              Options.UseAlpha);
}

QImage DecodePackedDib(const uint8_t* Data, size_t Size, const TDibOptions& Options, TDibInfo* Out)
{
    TDibInfo info;
    if (!ReadDibInfo(Data, Size, info, Options.Usage) || info.PackedBitsOffset > Size) {
        if (Out)
            *Out = info;
        return {};
    }
    const size_t at = size_t(info.PackedBitsOffset);
    return DecodeDib(Data, at, Data + at, Size - at, Options, Out);
}

QImage DecodeDibInRecord(const uint8_t* Record, size_t RecordSize, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits,
                         uint32_t cbBits, const TDibOptions& Options, TDibInfo* Out)
{
    if (Out)
        *Out = TDibInfo();
    if (!Record || cbBmi == 0 || cbBits == 0 || !Fits(offBmi, cbBmi, RecordSize) || !Fits(offBits, cbBits, RecordSize))
        return {};
    return DecodeDib(Record + offBmi, cbBmi, Record + offBits, cbBits, Options, Out);
}

TEncodedDib EncodeDib(const QImage& Image)
{
    TEncodedDib d;
    if (Image.isNull())
        return d;
    const bool alpha = Image.hasAlphaChannel();
    const QImage src = Image.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const int w = src.width(), h = src.height(), bpp = alpha ? 32 : 24;
    const size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
    d.Info.assign(40, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d.Info[at + i] = uint8_t(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, uint32_t(w));
    put32(8, uint32_t(h));
    d.Info[12] = 1;
    d.Info[14] = uint8_t(bpp);
    put32(20, uint32_t(stride * h));
    put32(24, 3780); // 96 dpi in pixels per metre
    put32(28, 3780);
    d.Bits.assign(stride * h, 0);
    for (int y = 0; y < h; ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        uint8_t* o = d.Bits.data() + stride * size_t(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            *o++ = uint8_t(qBlue(s[x]));
            *o++ = uint8_t(qGreen(s[x]));
            *o++ = uint8_t(qRed(s[x]));
            if (alpha)
                *o++ = uint8_t(qAlpha(s[x]));
        }
    }
    return d;
}
