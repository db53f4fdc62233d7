// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic from a device mode to a sheet in device dots, shared by the
// backends.
#include "platform/print/printbackend.h"

#include <QSizeF>

// The sheet a Windows paper code names, in millimetres, as Qt sizes it
// (transverse codes give the upright sheet); false for codes without a size
// (0, 256, driver-specific codes).
bool PaperCodeSizeMm(int Code, QSizeF& Mm);

// The sheet a device mode asks for, before turning, in millimetres: explicit
// width and length when both are given, else its paper code, else Fallback.
QSizeF DevModeSheetMm(const DEVMODEW& Mode, const QSizeF& Fallback);
bool DevModeLandscape(const DEVMODEW& Mode);

// Millimetres to dots, to the nearest dot.
int MmToDots(double Mm, int Dpi);

// A sheet of SheetMm turned as the mode says, with unprintable
// margins given for the portrait sheet (they turn with it).
TSheetGeometry MakeSheetGeometry(const QSizeF& SheetMm, bool Landscape, int DpiX, int DpiY, int OffsetX, int OffsetY);
