// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Device-independent bitmaps as EMF records carry them: a BITMAPINFO
// (header and colour table) and the pixel bits, both read from untrusted
// page data. Decoding never reads outside the given ranges; anything
// damaged gives a null image. A header alone never decides how much is
// allocated: bitmaps above DibDirectPixels() are decoded only at the pixels
// that will be drawn (DecodeDibSampled).
#include <QImage>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t DibMaxSide = 32768;
constexpr int64_t DibMaxPixels = int64_t(1) << 28;
// Bitmaps up to this many pixels are decoded whole (16 MB as ARGB): a page
// scanned at 200 dpi, far more than what reports embed (logos, icons,
// charts). Larger ones are sampled where they show. Tests lower it.
constexpr int64_t DibDefaultDirectPixels = int64_t(1) << 22;
int64_t DibDirectPixels();
void SetDibDirectPixels(int64_t Pixels);
// The most pixels one decode has allocated since the last reset, for tests
// and benchmarks that check a header does not decide it.
int64_t DibPeakPixels();
void ResetDibPeakPixels();

// What the header says, after checking.
struct TDibInfo {
    uint32_t HeaderSize = 0; // 12 (core), 40, 52, 56, 108 or 124
    int32_t Width = 0;
    int32_t Height = 0;   // always positive; see TopDown
    bool TopDown = false; // negative biHeight in the file
    uint16_t BitCount = 0;
    uint32_t Compression = 0;         // BI_RGB, BI_RLE8, ...
    uint32_t ColorCount = 0;          // entries the colour table should hold (0 above 8 bits)
    bool HasColorTable = false;       // all ColorCount entries are present in the BITMAPINFO
    uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha for BI_BITFIELDS and 16/32 bits
    uint32_t ColorTableOffset = 0;    // from the start of the BITMAPINFO
    uint32_t ColorEntrySize = 4;      // 3 (core header), 4 (RGBQUAD) or 2 (palette index)
    uint64_t PackedBitsOffset = 0;    // where the bits start in a packed DIB
};

struct TDibOptions {
    uint32_t Usage = 0; // DIB_RGB_COLORS; DIB_PAL_COLORS: the table holds 16-bit palette indexes
    // Palette those indexes refer to; the default 20-colour system palette when null.
    const QList<QRgb>* Palette = nullptr;
    // 32-bit pixels (and bit fields with an alpha mask) carry premultiplied
    // alpha, as AlphaBlend with AC_SRC_ALPHA expects; otherwise the fourth
    // byte is ignored and the image is opaque.
    bool UseAlpha = false;
};

// A DIB's undecoded parts, as a record holds them.
struct TDibSource {
    const uint8_t* Info = nullptr;
    size_t InfoSize = 0;
    const uint8_t* Bits = nullptr;
    size_t BitsSize = 0;
    TDibOptions Options;
};

// Reads and checks the header (and notes the colour table, whose entries
// are 16-bit palette indexes for DIB_PAL_COLORS) without decoding any
// pixels. False for a damaged or unsupported header.
bool ReadDibInfo(const uint8_t* Info, size_t InfoSize, TDibInfo& Out, uint32_t Usage = 0);

// Decodes a DIB. Result formats:
//  - 1 bit: Format_Mono with a two-entry colour table. Without a colour table
//    (Out->HasColorTable false) the table is black/white; a caller that maps
//    monochrome bitmaps to the text and background colours replaces it with
//    setColor(0, ...) and setColor(1, ...).
//  - 4 and 8 bits: Format_Indexed8 with the colour table.
//  - 16, 24 bits, 32 bits without UseAlpha: Format_RGB32.
//  - 32 bits with UseAlpha: Format_ARGB32_Premultiplied.
//  - BI_RLE4/BI_RLE8: Format_ARGB32_Premultiplied; pixels skipped by the
//    delta and end-of-line escapes are transparent, since GDI leaves the
//    destination there.
//  - BI_JPEG/BI_PNG: the embedded image, Format_ARGB32_Premultiplied,
//    scaled down to DibDirectPixels() when it is larger.
// Rows come out top row first whatever the orientation in the file.
// A bitmap above DibDirectPixels() gives only its top-left corner, at most
// DibDirectSide pixels square and within that limit (what a pattern brush
// tiles from).
constexpr int32_t DibDirectSide = 2048;
QImage DecodeDib(const uint8_t* Info, size_t InfoSize, const uint8_t* Bits, size_t BitsSize,
                 const TDibOptions& Options = {}, TDibInfo* Out = nullptr);

// Which source pixels a sampled decode keeps: result pixel (i, j) is source
// pixel (Columns[i], Rows[j]), rows counted from the top. Entries outside
// the bitmap leave their pixels zero (transparent for the ARGB formats).
// Nearest-neighbour stretching, as GDI does it, is such a sampling.
struct TDibSampling {
    std::vector<int32_t> Columns;
    std::vector<int32_t> Rows;
};

// DecodeDib restricted to a sampling: the same formats, pixels and checks,
// with only Columns.size() x Rows.size() pixels allocated. Run-length data
// is walked once and only sampled pixels are kept.
QImage DecodeDibSampled(const uint8_t* Info, size_t InfoSize, const uint8_t* Bits, size_t BitsSize,
                        const TDibSampling& Sampling, const TDibOptions& Options = {}, TDibInfo* Out = nullptr);

// A packed DIB: BITMAPINFO immediately followed by the bits.
QImage DecodePackedDib(const uint8_t* Data, size_t Size, const TDibOptions& Options = {}, TDibInfo* Out = nullptr);

// The usual record layout: offsets of the BITMAPINFO and the bits counted
// from the start of the record, each range checked against RecordSize.
// A zero cbBmi or cbBits gives a null image.
QImage DecodeDibInRecord(const uint8_t* Record, size_t RecordSize, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits,
                         uint32_t cbBits, const TDibOptions& Options = {}, TDibInfo* Out = nullptr);

// The opposite direction, for recording: a BITMAPINFOHEADER (no colour
// table) and bottom-up bits, 32 bits when the image has an alpha channel
// (premultiplied, as AlphaBlend reads it), else 24 bits.
struct TEncodedDib {
    std::vector<uint8_t> Info;
    std::vector<uint8_t> Bits;
};
TEncodedDib EncodeDib(const QImage& Image);

// The default logical palette: the 20 static system colours.
const QList<QRgb>& DefaultSystemPalette();
