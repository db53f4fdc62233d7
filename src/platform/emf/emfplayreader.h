// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bounds-checked views over the records of an EMF page. Every accessor
// answers zero outside the record, so a handler that checked the fixed part
// of its record with Has() cannot read past it even when a field lies.
#include "platform/littleendian.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

class TEmfRecord {
public:
    TEmfRecord() = default;
    TEmfRecord(const uint8_t* Data, size_t Size) : FData(Data), FSize(Size) {}

    uint32_t Type() const { return U32(0); }
    size_t Size() const { return FSize; }
    const uint8_t* Data() const { return FData; }

    bool Has(size_t Offset, size_t Length) const { return Offset <= FSize && Length <= FSize - Offset; }
    // Count elements of ElemSize bytes fit from Offset on (no overflow).
    bool HasArray(size_t Offset, uint64_t Count, size_t ElemSize) const
    {
        return Offset <= FSize && ElemSize && Count <= (FSize - Offset) / ElemSize;
    }

    uint32_t U32(size_t Offset) const
    {
        if (!Has(Offset, 4))
            return 0;
        return GetLE32(FData + Offset);
    }
    int32_t I32(size_t Offset) const { return int32_t(U32(Offset)); }
    uint16_t U16(size_t Offset) const { return Has(Offset, 2) ? GetLE16(FData + Offset) : 0; }
    int16_t I16(size_t Offset) const { return int16_t(U16(Offset)); }
    uint8_t U8(size_t Offset) const { return Has(Offset, 1) ? FData[Offset] : 0; }
    float F32(size_t Offset) const
    {
        uint32_t bits = U32(Offset);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    // Pointer to Length bytes at Offset, or nullptr when they are not all inside.
    const uint8_t* Ptr(size_t Offset, size_t Length) const { return Has(Offset, Length) ? FData + Offset : nullptr; }

private:
    const uint8_t* FData = nullptr;
    size_t FSize = 0;
};

// Walks the records of a page. Next() fails on the first record whose size
// is too small, not a multiple of four, or runs past the page end.
class TEmfRecordWalker {
public:
    TEmfRecordWalker(const uint8_t* Page, size_t PageSize, size_t Start) : FPage(Page), FSize(PageSize), FPos(Start) {}

    bool AtEnd() const { return FPos >= FSize; }
    bool Damaged() const { return FDamaged; }

    bool Next(TEmfRecord& Out)
    {
        if (FPos >= FSize || FSize - FPos < 8) {
            FDamaged = FPos < FSize;
            return false;
        }
        TEmfRecord head(FPage + FPos, 8);
        uint32_t size = head.U32(4);
        if (size < 8 || size % 4 || size > FSize - FPos) {
            FDamaged = true;
            return false;
        }
        Out = TEmfRecord(FPage + FPos, size);
        FPos += size;
        return true;
    }

private:
    const uint8_t* FPage;
    size_t FSize;
    size_t FPos;
    bool FDamaged = false;
};
