// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One report page: the bytes of an enhanced metafile (EMF) and its parsed
// header. Playing it lives in platform/emf; this container needs no Qt.
#include <cstdint>
#include <string>
#include <vector>

class TStream;

struct EmfRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct EmfSize {
    int32_t cx = 0, cy = 0;
};

// EMR_HEADER as stored; fields beyond the base 88 bytes are zero when the
// header is shorter.
struct EmfHeader {
    uint32_t iType = 0, nSize = 0;
    EmfRect rclBounds;
    EmfRect rclFrame; // 0.01 mm
    uint32_t dSignature = 0, nVersion = 0, nBytes = 0, nRecords = 0;
    uint16_t nHandles = 0, sReserved = 0;
    uint32_t nDescription = 0, offDescription = 0, nPalEntries = 0;
    EmfSize szlDevice;      // reference device, pixels
    EmfSize szlMillimeters; // reference device, mm
    uint32_t cbPixelFormat = 0, offPixelFormat = 0, bOpenGL = 0;
    EmfSize szlMicrometers;
};

constexpr uint32_t ENHMETA_SIGNATURE = 0x464D4520; // " EMF"
constexpr int32_t EmfHeaderBytes = 108;

// Frame extent (0.01 mm) in reference-device pixels:
// Frame * Device / (Millimeters * 100), halves away from zero; 0 when the
// millimetres are 0 or the result leaves the int range.
int ScaleFrameToPixels(int64_t Frame, int32_t Device, int32_t Millimeters);

// Size of a page from its header alone, as TMetafile's Width, Height,
// MMWidth and MMHeight give it.
int EmfWidthPx(const EmfHeader& Header);
int EmfHeightPx(const EmfHeader& Header);
int EmfWidthMM(const EmfHeader& Header);
int EmfHeightMM(const EmfHeader& Header);

class TMetafile {
public:
    TMetafile() = default;

    // The loader's checks on a page's header without reading its body:
    // Head holds the first min(Available, 108) of the Available bytes the
    // page has. Same errors as LoadFromStream; nBytes is then at most
    // Available.
    static EmfHeader CheckHeader(const uint8_t* Head, int64_t Available);

    // The page loader rule: at least 108 bytes left, record type 1 and the
    // " EMF" signature; then exactly nBytes are consumed. Throws
    // EInvalidGraphic (not an EMF) or EReadError (data ends early).
    void LoadFromStream(TStream& Stream);
    // Same checks over a whole buffer.
    void LoadFromBytes(std::vector<uint8_t> Bytes);
    void LoadFromFile(const std::string& FileName);
    // Writes the bytes unchanged.
    void SaveToStream(TStream& Stream) const;
    void SaveToFile(const std::string& FileName) const;

    void Clear();
    bool Empty() const { return FData.empty(); }
    const std::vector<uint8_t>& Data() const { return FData; }
    const EmfHeader& Header() const { return FHeader; }

    // Size in pixels of the reference device: the frame rectangle converted
    // with szlDevice / szlMillimeters, rounded half away from zero.
    int Width() const;
    int Height() const;
    // Frame size in 0.01 mm.
    int MMWidth() const;
    int MMHeight() const;

private:
    static EmfHeader ParseHeader(const uint8_t* p, size_t n);

    std::vector<uint8_t> FData;
    EmfHeader FHeader;
};
