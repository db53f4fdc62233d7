// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emftextrecords.h"

#include "platform/emf/emfplaycharset.h"
#include "platform/emf/emfrecords.h"

namespace {

// One EMRTEXT at Offset. Rect says whether its clip rectangle is stored
// (POLYTEXTOUT always stores it, EXTTEXTOUT unless ETO_NO_RECT).
bool ReadEmrText(const TEmfRecord& R, size_t Offset, bool Wide, bool AlwaysRect, int CodePage, TEmfTextString& Out)
{
    if (!R.Has(Offset, 20))
        return false;
    Out.Ref = QPointF(R.I32(Offset), R.I32(Offset + 4));
    const uint32_t count = R.U32(Offset + 8), offString = R.U32(Offset + 12);
    Out.Options = R.U32(Offset + 16);
    Out.HasRect = AlwaysRect || !(Out.Options & ETO_NO_RECT);
    const size_t dxField = Offset + (Out.HasRect ? 36 : 20);
    if (Out.HasRect) {
        if (!R.Has(Offset + 20, 16))
            return false;
        Out.Rect = QRectF(QPointF(R.I32(Offset + 20), R.I32(Offset + 24)),
                          QPointF(R.I32(Offset + 28), R.I32(Offset + 32)));
    }
    const uint32_t offDx = R.U32(dxField);
    if (count && !R.HasArray(offString, count, Wide ? 2 : 1))
        return false;
    Out.GlyphIndexes = Wide && (Out.Options & ETO_GLYPH_INDEX);
    std::vector<int> bytesPerUnit;
    if (Wide) {
        Out.Text.resize(qsizetype(count));
        for (uint32_t i = 0; i < count; ++i)
            Out.Text[qsizetype(i)] = QChar(R.U16(offString + 2 * size_t(i)));
    } else if (count) {
        Out.Text = EmfDecodeAnsi(R.Ptr(offString, count), count, CodePage, &bytesPerUnit);
    }
    const size_t stride = (Out.Options & ETO_PDY) ? 8 : 4;
    if (count && offDx && R.HasArray(offDx, count, stride)) {
        if (Wide) {
            Out.Advances.resize(count);
            for (uint32_t i = 0; i < count; ++i)
                Out.Advances[i] = R.I32(offDx + stride * i);
        } else {
            // One advance per byte: a character of several bytes takes them all.
            uint32_t b = 0;
            for (int n : bytesPerUnit) {
                double a = 0;
                for (int k = 0; k < n && b < count; ++k, ++b)
                    a += R.I32(offDx + stride * b);
                Out.Advances.push_back(a);
            }
        }
    }
    return true;
}

} // namespace

bool EmfIsTextRecord(uint32_t Type)
{
    return Type == EMR_EXTTEXTOUTW || Type == EMR_EXTTEXTOUTA || Type == EMR_POLYTEXTOUTW || Type == EMR_POLYTEXTOUTA ||
           Type == EMR_SMALLTEXTOUT;
}

std::vector<TEmfTextString> EmfReadTextRecord(const TEmfRecord& R, int CodePage)
{
    std::vector<TEmfTextString> out;
    switch (R.Type()) {
    case EMR_EXTTEXTOUTW:
    case EMR_EXTTEXTOUTA: {
        TEmfTextString s;
        if (ReadEmrText(R, 36, R.Type() == EMR_EXTTEXTOUTW, false, CodePage, s))
            out.push_back(std::move(s));
        break;
    }
    case EMR_POLYTEXTOUTW:
    case EMR_POLYTEXTOUTA: {
        const uint32_t n = R.U32(36);
        if (!R.HasArray(40, n, 40))
            break;
        for (uint32_t i = 0; i < n; ++i) {
            TEmfTextString s;
            if (ReadEmrText(R, 40 + 40 * size_t(i), R.Type() == EMR_POLYTEXTOUTW, true, CodePage, s))
                out.push_back(std::move(s));
        }
        break;
    }
    case EMR_SMALLTEXTOUT: {
        if (!R.Has(8, 28))
            break;
        TEmfTextString s;
        s.Ref = QPointF(R.I32(8), R.I32(12));
        const uint32_t count = R.U32(16);
        s.Options = R.U32(20);
        size_t offString = 36;
        if (!(s.Options & ETO_NO_RECT)) {
            if (!R.Has(36, 16))
                break;
            s.HasRect = true;
            s.Rect = QRectF(QPointF(R.I32(36), R.I32(40)), QPointF(R.I32(44), R.I32(48)));
            offString = 52;
        }
        const bool small = s.Options & ETO_SMALL_CHARS;
        if (count && !R.HasArray(offString, count, small ? 1 : 2))
            break;
        s.Text.resize(qsizetype(count));
        for (uint32_t i = 0; i < count; ++i)
            s.Text[qsizetype(i)] = small ? QChar(char16_t(R.U8(offString + i)))
                                         : QChar(R.U16(offString + 2 * size_t(i)));
        s.GlyphIndexes = !small && (s.Options & ETO_GLYPH_INDEX);
        out.push_back(std::move(s));
        break;
    }
    default: break;
    }
    return out;
}
