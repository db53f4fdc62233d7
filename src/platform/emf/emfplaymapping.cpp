// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplaymapping.h"

#include "platform/emf/emfplayreader.h"
#include "platform/emf/emfrecords.h"
#include "platform/metafile.h"

#include <cmath>
#include <cstdlib>

namespace {

bool Scalable(uint32_t Mode)
{
    return Mode == MM_ISOTROPIC || Mode == MM_ANISOTROPIC;
}

bool FitsInt(int64_t V)
{
    return V >= INT32_MIN && V <= INT32_MAX;
}

// The reference device's millimetres come from the file: scaled up, they may
// pass the int range.
int Metric(int Millimeters, int64_t Num, int64_t Den = 1)
{
    const int64_t v = Millimeters * Num / Den;
    return FitsInt(v) ? int(v) : (v < 0 ? INT32_MIN : INT32_MAX);
}

bool Finite(const QTransform& T)
{
    return std::isfinite(T.m11()) && std::isfinite(T.m12()) && std::isfinite(T.m21()) && std::isfinite(T.m22()) &&
           std::isfinite(T.dx()) && std::isfinite(T.dy());
}

QTransform ReadXform(const TEmfRecord& R, size_t Offset)
{
    return QTransform(R.F32(Offset), R.F32(Offset + 4), R.F32(Offset + 8), R.F32(Offset + 12), R.F32(Offset + 16),
                      R.F32(Offset + 20));
}

} // namespace

TEmfDevice EmfReferenceDevice(const EmfHeader& Header)
{
    TEmfDevice d;
    if (Header.szlDevice.cx > 0 && Header.szlDevice.cy > 0 && Header.szlMillimeters.cx > 0 &&
        Header.szlMillimeters.cy > 0) {
        d.Pixels = QSize(Header.szlDevice.cx, Header.szlDevice.cy);
        d.Millimeters = QSize(Header.szlMillimeters.cx, Header.szlMillimeters.cy);
    } else {
        // A header without a usable reference device: assume a 96-dpi A4 screen.
        d.Pixels = QSize(794, 1123);
        d.Millimeters = QSize(210, 297);
    }
    return d;
}

void EmfSetMapMode(TEmfMapping& M, uint32_t Mode, const TEmfDevice& Device)
{
    if (Mode < MM_TEXT || Mode > MM_ANISOTROPIC)
        return;
    const int px = Device.Pixels.width(), py = Device.Pixels.height();
    const int mx = Device.Millimeters.width(), my = Device.Millimeters.height();
    M.MapMode = Mode;
    switch (Mode) {
    case MM_TEXT:
        M.WinExt = QSize(1, 1);
        M.VpExt = QSize(1, 1);
        break;
    case MM_LOMETRIC:
        M.WinExt = QSize(Metric(mx, 10), Metric(my, 10));
        M.VpExt = QSize(px, -py);
        break;
    case MM_HIMETRIC:
        M.WinExt = QSize(Metric(mx, 100), Metric(my, 100));
        M.VpExt = QSize(px, -py);
        break;
    case MM_LOENGLISH:
        M.WinExt = QSize(Metric(mx, 1000, 254), Metric(my, 1000, 254));
        M.VpExt = QSize(px, -py);
        break;
    case MM_HIENGLISH:
        M.WinExt = QSize(Metric(mx, 10000, 254), Metric(my, 10000, 254));
        M.VpExt = QSize(px, -py);
        break;
    case MM_TWIPS:
        M.WinExt = QSize(Metric(mx, 14400, 254), Metric(my, 14400, 254));
        M.VpExt = QSize(px, -py);
        break;
    case MM_ISOTROPIC:
        // Windows starts the isotropic mode from the metric extents.
        M.WinExt = QSize(Metric(mx, 10), Metric(my, 10));
        M.VpExt = QSize(px, -py);
        EmfFixIsotropic(M, Device);
        break;
    default: break;
    }
    if (M.WinExt.width() == 0 || M.WinExt.height() == 0)
        M.WinExt = QSize(1, 1);
}

void EmfSetWindowExt(TEmfMapping& M, QSize Ext, const TEmfDevice& Device)
{
    if (!Scalable(M.MapMode) || Ext.width() == 0 || Ext.height() == 0)
        return;
    M.WinExt = Ext;
    if (M.MapMode == MM_ISOTROPIC)
        EmfFixIsotropic(M, Device);
}

void EmfSetViewportExt(TEmfMapping& M, QSize Ext, const TEmfDevice& Device)
{
    if (!Scalable(M.MapMode) || Ext.width() == 0 || Ext.height() == 0)
        return;
    M.VpExt = Ext;
    if (M.MapMode == MM_ISOTROPIC)
        EmfFixIsotropic(M, Device);
}

void EmfScaleWindowExt(TEmfMapping& M, int XNum, int XDenom, int YNum, int YDenom, const TEmfDevice& Device)
{
    if (!XDenom || !YDenom)
        return;
    int64_t x = int64_t(M.WinExt.width()) * XNum / XDenom, y = int64_t(M.WinExt.height()) * YNum / YDenom;
    if (!FitsInt(x) || !FitsInt(y))
        return;
    EmfSetWindowExt(M, QSize(int(x), int(y)), Device);
}

void EmfScaleViewportExt(TEmfMapping& M, int XNum, int XDenom, int YNum, int YDenom, const TEmfDevice& Device)
{
    if (!XDenom || !YDenom)
        return;
    int64_t x = int64_t(M.VpExt.width()) * XNum / XDenom, y = int64_t(M.VpExt.height()) * YNum / YDenom;
    if (!FitsInt(x) || !FitsInt(y))
        return;
    EmfSetViewportExt(M, QSize(int(x), int(y)), Device);
}

void EmfFixIsotropic(TEmfMapping& M, const TEmfDevice& Device)
{
    if (!M.WinExt.width() || !M.WinExt.height() || !M.VpExt.width() || !M.VpExt.height())
        return;
    const double xdim = std::fabs(double(M.VpExt.width()) * Device.Millimeters.width() /
                                  (double(M.WinExt.width()) * Device.Pixels.width()));
    const double ydim = std::fabs(double(M.VpExt.height()) * Device.Millimeters.height() /
                                  (double(M.WinExt.height()) * Device.Pixels.height()));
    if (xdim > ydim) {
        const int min = M.VpExt.width() >= 0 ? 1 : -1;
        int v = int(std::floor(M.VpExt.width() * ydim / xdim + 0.5));
        M.VpExt.setWidth(v ? v : min);
    } else if (ydim > xdim) {
        const int min = M.VpExt.height() >= 0 ? 1 : -1;
        int v = int(std::floor(M.VpExt.height() * xdim / ydim + 0.5));
        M.VpExt.setHeight(v ? v : min);
    }
}

QTransform EmfPageTransform(const TEmfMapping& M)
{
    // Origins are any 32-bit values a page gives: subtract them in double.
    if (M.MapMode == MM_TEXT)
        return QTransform::fromTranslate(double(M.VpOrg.x()) - M.WinOrg.x(), double(M.VpOrg.y()) - M.WinOrg.y());
    const double sx = double(M.VpExt.width()) / M.WinExt.width();
    const double sy = double(M.VpExt.height()) / M.WinExt.height();
    return QTransform(sx, 0, 0, sy, M.VpOrg.x() - M.WinOrg.x() * sx, M.VpOrg.y() - M.WinOrg.y() * sy);
}

QRectF EmfFrameInPixels(const EmfHeader& Header)
{
    const TEmfDevice d = EmfReferenceDevice(Header);
    const EmfRect& f = Header.rclFrame;
    const double fw = double(f.Right) - f.Left, fh = double(f.Bottom) - f.Top;
    if (fw > 0 && fh > 0) {
        const double kx = d.Pixels.width() / (d.Millimeters.width() * 100.0);
        const double ky = d.Pixels.height() / (d.Millimeters.height() * 100.0);
        return QRectF(f.Left * kx, f.Top * ky, fw * kx, fh * ky);
    }
    const EmfRect& b = Header.rclBounds;
    const double bw = double(b.Right) - b.Left + 1, bh = double(b.Bottom) - b.Top + 1;
    if (bw > 0 && bh > 0)
        return QRectF(b.Left, b.Top, bw, bh);
    return QRectF(0, 0, 1, 1);
}

QTransform EmfFrameTransform(const EmfHeader& Header, const QRectF& R)
{
    const QRectF f = EmfFrameInPixels(Header);
    const double sx = R.width() / f.width(), sy = R.height() / f.height();
    return QTransform(sx, 0, 0, sy, R.left() - f.left() * sx, R.top() - f.top() * sy);
}

bool EmfMappingRecord(TEmfMapping& M, const TEmfRecord& R, const TEmfDevice& Device)
{
    const QSize ext(R.I32(8), R.I32(12));
    switch (R.Type()) {
    case EMR_SETWINDOWEXTEX: EmfSetWindowExt(M, ext, Device); return true;
    case EMR_SETVIEWPORTEXTEX: EmfSetViewportExt(M, ext, Device); return true;
    case EMR_SETWINDOWORGEX: M.WinOrg = QPoint(R.I32(8), R.I32(12)); return true;
    case EMR_SETVIEWPORTORGEX: M.VpOrg = QPoint(R.I32(8), R.I32(12)); return true;
    case EMR_SETMAPMODE: EmfSetMapMode(M, R.U32(8), Device); return true;
    case EMR_SCALEVIEWPORTEXTEX: EmfScaleViewportExt(M, R.I32(8), R.I32(12), R.I32(16), R.I32(20), Device); return true;
    case EMR_SCALEWINDOWEXTEX: EmfScaleWindowExt(M, R.I32(8), R.I32(12), R.I32(16), R.I32(20), Device); return true;
    default: return false;
    }
}

bool EmfWorldRecord(QTransform& World, const TEmfRecord& R)
{
    if (R.Type() == EMR_SETWORLDTRANSFORM) {
        if (R.Has(8, 24) && Finite(ReadXform(R, 8)))
            World = ReadXform(R, 8);
        return true;
    }
    if (R.Type() != EMR_MODIFYWORLDTRANSFORM)
        return false;
    if (!R.Has(8, 28))
        return true;
    const QTransform x = ReadXform(R, 8);
    if (!Finite(x))
        return true;
    switch (R.U32(32)) {
    case MWT_IDENTITY: World.reset(); break;
    case MWT_LEFTMULTIPLY: World = x * World; break;
    case MWT_RIGHTMULTIPLY: World = World * x; break;
    case MWT_SET: World = x; break;
    default: return true;
    }
    if (!Finite(World))
        World.reset();
    return true;
}
