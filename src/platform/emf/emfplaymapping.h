// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of GDI coordinate spaces during playback: map modes,
// window and viewport, and the mapping of the page's frame onto the target.
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <cstdint>

struct EmfHeader;
class TEmfRecord;

// Window and viewport of a device context (page space to device space).
struct TEmfMapping {
    uint32_t MapMode = 1; // MM_TEXT
    QPoint WinOrg{0, 0};
    QSize WinExt{1, 1};
    QPoint VpOrg{0, 0};
    QSize VpExt{1, 1};
};

// Reference device of the page: pixels and millimetres, never zero.
struct TEmfDevice {
    QSize Pixels{1, 1};
    QSize Millimeters{1, 1};
};

TEmfDevice EmfReferenceDevice(const EmfHeader& Header);

// SetMapMode: the fixed modes set both extents from the reference device;
// the isotropic mode keeps the current extents and then squares them.
void EmfSetMapMode(TEmfMapping& M, uint32_t Mode, const TEmfDevice& Device);
// SetWindowExtEx / SetViewportExtEx: ignored outside the scalable modes and
// for zero extents, as GDI refuses them.
void EmfSetWindowExt(TEmfMapping& M, QSize Ext, const TEmfDevice& Device);
void EmfSetViewportExt(TEmfMapping& M, QSize Ext, const TEmfDevice& Device);
// ScaleWindowExtEx / ScaleViewportExtEx: ext * num / den, ignored when a
// denominator is zero or the result would be zero.
void EmfScaleWindowExt(TEmfMapping& M, int XNum, int XDenom, int YNum, int YDenom, const TEmfDevice& Device);
void EmfScaleViewportExt(TEmfMapping& M, int XNum, int XDenom, int YNum, int YDenom, const TEmfDevice& Device);
// The isotropic mode shrinks one viewport extent so that a logical unit has
// the same physical size along both axes.
void EmfFixIsotropic(TEmfMapping& M, const TEmfDevice& Device);

// Page space to reference-device pixels.
QTransform EmfPageTransform(const TEmfMapping& M);

// The rectangle in reference-device pixels that fills the target: the frame
// (0.01 mm) converted with the reference device, or the bounds when the
// frame is empty.
QRectF EmfFrameInPixels(const EmfHeader& Header);
// Reference-device pixels to target coordinates, mapping the frame onto R.
QTransform EmfFrameTransform(const EmfHeader& Header, const QRectF& R);

// The window, viewport and map-mode records (SETWINDOWEXTEX ... SCALE-
// WINDOWEXTEX) applied to M; false for any other record.
bool EmfMappingRecord(TEmfMapping& M, const TEmfRecord& R, const TEmfDevice& Device);
// SETWORLDTRANSFORM and MODIFYWORLDTRANSFORM applied to World; a transform
// that is not finite is refused. False for any other record.
bool EmfWorldRecord(QTransform& World, const TEmfRecord& R);
