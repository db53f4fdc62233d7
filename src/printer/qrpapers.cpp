// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/qrpapers.h"

#include "platform/rounding.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// Tables laid out by hand.
// clang-format off
const char* const PaperNames[QRPaperSizeCount] = {
    "Default", "Letter", "LetterSmall", "Tabloid", "Ledger", "Legal", "Statement", "Executive", "A3",
    "A4", "A4Small", "A5", "B4", "B5", "Folio", "Quarto", "qr10X14", "qr11X17", "Note", "Env9",
    "Env10", "Env11", "Env12", "Env14", "CSheet", "DSheet", "ESheet", "EnvDL", "EnvC5", "EnvC3",
    "EnvC4", "EnvC6", "EnvC65", "EnvB4", "EnvB5", "EnvB6", "EnvItaly", "EnvMonarch", "EnvPersonal",
    "FanfoldUSStd", "FanfoldGerStd", "FanfoldGerLegal", "B4ISO", "PostcardJap", "qr9X11", "qr10X11",
    "qr15X11", "EnvInvite", "Reserved1", "Reserved2", "LetterExtra", "LegalExtra", "TabloidExtra",
    "A4Extra", "LetterTrans", "A4Trans", "LetterExtraTrans", "SuperASuperAA4", "SuperBSuperBA3",
    "LetterPlus", "A4Plus", "A5Trans", "B5Trans", "A3Extra", "A5Extra", "B5Extra", "A2", "A3Trans",
    "A3ExtraTrans", "Custom"};

const char* const BinNames[QRBinCount] = {
    "First", "Upper", "Lower", "Middle", "Manual", "Envelope", "EnvManual", "Auto", "Tractor",
    "SmallFormat", "LargeFormat", "LargeCapacity", "Cassette", "Last"};

// clang-format on

// Rows Letter..ESheet are the sizes a report page is matched against.
constexpr int FirstDetectRow = 1;
constexpr int LastDetectRow = 26;

// Truncation toward zero that survives absurd page sizes from a file.
long long TruncTo(long double Value)
{
    if (!(Value > -1e15L && Value < 1e15L))
        return Value > 0 ? 1000000000000000LL : -1000000000000000LL;
    return static_cast<long long>(Value);
}

} // namespace

// Tables laid out by hand.
// clang-format off
const int16_t PaperCodes[QRPaperSizeCount] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
    24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47,
    48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 256};

const TPaperDimension PaperDimensions[QRPaperSizeCount - 1] = {
    {0, 0},           {215.9L, 279.4L}, {215.9L, 279.4L}, {279.4L, 431.8L}, {431.8L, 279.4L},
    {215.9L, 355.6L}, {139.7L, 215.9L}, {190.5L, 254},    {297, 420},       {210, 297},
    {210, 297},       {148, 210},       {250, 354},       {182, 257},       {215.9L, 330.2L},
    {215, 275},       {254, 355.6L},    {279.4L, 431.8L}, {215.9L, 279.4L}, {98.43L, 225.4L},
    {104.8L, 241.3L}, {114.3L, 263.5L}, {120.7L, 279.4L}, {127, 292.1L},    {431.8L, 558.8L},
    {558.8L, 863.6L}, {863.6L, 1117.6L}, {110, 220},      {162, 229},       {324, 458},
    {229, 324},       {114, 162},       {114, 229},       {250, 353},       {176, 250},
    {176, 125},       {110, 230},       {98.43L, 190.5L}, {92.01L, 165.1L}, {377.8L, 279.4L},
    {215.9L, 304.8L}, {215.9L, 330.2L}, {250, 353},       {100, 148},       {228.6L, 279.4L},
    {254, 279.4L},    {381, 279.4L},    {220, 220},       {100, 100},       {100, 100},
    {241.3L, 304.8L}, {241.3L, 381},    {296.9L, 457.2L}, {236, 322},       {279.4L, 215.9L},
    {297, 210},       {304.8L, 241.3L}, {227, 356},       {305, 487},       {215.9L, 322.3L},
    {210, 330},       {210, 148},       {257, 182},       {322, 445},       {174, 235},
    {201, 276},       {420, 594},       {420, 297},       {445, 322}};

const int16_t BinCodes[QRBinCount] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};
// clang-format on

const char* PaperSizeName(TQRPaperSize Size)
{
    const int i = static_cast<int>(Size);
    return i < QRPaperSizeCount ? PaperNames[i] : "?";
}

const char* BinName(TQRBin Bin)
{
    const int i = static_cast<int>(Bin);
    return i < QRBinCount ? BinNames[i] : "?";
}

TQRPaperSize PaperSizeFromCode(int Code)
{
    for (int i = 0; i < QRPaperSizeCount; ++i)
        if (PaperCodes[i] == Code)
            return static_cast<TQRPaperSize>(i);
    return TQRPaperSize::Default;
}

TQRBin BinFromCode(int Code)
{
    for (int i = 0; i < QRBinCount; ++i)
        if (BinCodes[i] == Code)
            return static_cast<TQRBin>(i);
    return TQRBin::First;
}

int PaperTenthsMM(long double MM)
{
    return RoundHalfEven(MM * 10);
}

TPaperDetection DetectPaperNearest(int WidthPx, int HeightPx, long double Factor)
{
    TPaperDetection result;
    long long w = TruncTo(WidthPx / Factor / 10);
    long long h = TruncTo(HeightPx / Factor / 10);
    if (h < w) {
        result.Orientation = poLandscape;
        std::swap(w, h);
    }
    result.Writes.push_back({true, TQRPaperSize::Default, result.Orientation});
    long long best = 32000;
    for (int r = FirstDetectRow; r <= LastDetectRow; ++r) {
        const long long d = std::llabs(TruncTo(PaperDimensions[r].Width) - w) +
                            std::llabs(TruncTo(PaperDimensions[r].Height) - h);
        if (d < best) {
            best = d;
            result.Found = true;
            result.PaperSize = static_cast<TQRPaperSize>(r);
            result.Writes.push_back({false, result.PaperSize, poPortrait});
        }
    }
    return result;
}

TPaperDetection DetectPaperIn4mmSteps(int WidthPx, int HeightPx, long double Factor)
{
    TPaperDetection result;
    const long long w = TruncTo(WidthPx / Factor / 40);
    const long long h = TruncTo(HeightPx / Factor / 40);
    for (int r = FirstDetectRow; r <= LastDetectRow; ++r) {
        const long long tw = TruncTo(PaperDimensions[r].Width / 4);
        const long long tl = TruncTo(PaperDimensions[r].Height / 4);
        for (const TPrinterOrientation o : {poPortrait, poLandscape}) {
            const bool match = o == poPortrait ? (w == tw && h == tl) : (h == tw && w == tl);
            if (!match)
                continue;
            result.Found = true;
            result.PaperSize = static_cast<TQRPaperSize>(r);
            result.Orientation = o;
            result.Writes.push_back({false, result.PaperSize, o});
            result.Writes.push_back({true, result.PaperSize, o});
        }
    }
    if (!result.Found) {
        result.Orientation = h < w ? poLandscape : poPortrait;
        result.Writes.push_back({true, TQRPaperSize::Default, result.Orientation});
    }
    return result;
}
