// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paper size and paper bin tables, and the two ways a loaded report's
// first page is matched against the paper table. Values and codes are stored
// in device settings and report definitions, so they never change.
#include "platform/print/printer.h"

#include <cstdint>
#include <vector>

// Tables laid out by hand.
// clang-format off
enum class TQRPaperSize : uint8_t {
    Default = 0, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive, A3, A4, A4Small,
    A5, B4, B5, Folio, Quarto, qr10X14, qr11X17, Note, Env9, Env10, Env11, Env12, Env14, CSheet,
    DSheet, ESheet, EnvDL, EnvC5, EnvC3, EnvC4, EnvC6, EnvC65, EnvB4, EnvB5, EnvB6, EnvItaly,
    EnvMonarch, EnvPersonal, FanfoldUSStd, FanfoldGerStd, FanfoldGerLegal, B4ISO, PostcardJap,
    qr9X11, qr10X11, qr15X11, EnvInvite, Reserved1, Reserved2, LetterExtra, LegalExtra, TabloidExtra,
    A4Extra, LetterTrans, A4Trans, LetterExtraTrans, SuperASuperAA4, SuperBSuperBA3, LetterPlus,
    A4Plus, A5Trans, B5Trans, A3Extra, A5Extra, B5Extra, A2, A3Trans, A3ExtraTrans, Custom
};
constexpr int QRPaperSizeCount = 70; // Default..Custom

enum class TQRBin : uint8_t {
    First = 0, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor, SmallFormat,
    LargeFormat, LargeCapacity, Cassette, Last
};
constexpr int QRBinCount = 14; // First..Last
// clang-format on

struct TPaperDimension {
    long double Width;  // mm
    long double Height; // mm
};

// Windows paper code of each size: the identity up to A3ExtraTrans, 256 for Custom.
extern const int16_t PaperCodes[QRPaperSizeCount];
// Sheet sizes in millimetres for Default..A3ExtraTrans; Custom has no row.
extern const TPaperDimension PaperDimensions[QRPaperSizeCount - 1];
// Windows paper source code of each bin.
extern const int16_t BinCodes[QRBinCount];

const char* PaperSizeName(TQRPaperSize Size);
const char* BinName(TQRBin Bin);

// First size from Default to Custom with this paper code; Default when none.
TQRPaperSize PaperSizeFromCode(int Code);
// First bin from First to Last with this source code; First when none.
TQRBin BinFromCode(int Code);

// Millimetres of the table in tenths of a millimetre, rounded (215.9 gives 2159).
int PaperTenthsMM(long double MM);

// One write of a detection, in the order the detection makes them: a
// printer that refuses some sizes keeps the last size it accepted.
struct TPaperWrite {
    bool IsOrientation;
    TQRPaperSize PaperSize;
    TPrinterOrientation Orientation;
};

struct TPaperDetection {
    bool Found = false; // a paper row was chosen
    TQRPaperSize PaperSize = TQRPaperSize::Default;
    TPrinterOrientation Orientation = poPortrait;
    std::vector<TPaperWrite> Writes;
};

// Detection by Load: the page size in whole millimetres (pixels at Factor
// pixels per 0.1 mm, truncated) against rows Letter..ESheet by summed
// distance; the earliest row wins a tie.
TPaperDetection DetectPaperNearest(int WidthPx, int HeightPx, long double Factor);
// Detection by LoadFromStream: exact match in whole units of 4 mm, either
// way round; the last matching row wins, landscape over portrait within a
// row. Without a match only the orientation is meaningful.
TPaperDetection DetectPaperIn4mmSteps(int WidthPx, int HeightPx, long double Factor);
