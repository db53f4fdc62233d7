// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/metafile.h"
#include "platform/littleendian.h"
#include "platform/errors.h"
#include "platform/streams.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t u32(const uint8_t* p)
{
    return GetLE32(p);
}
int32_t i32(const uint8_t* p)
{
    return static_cast<int32_t>(GetLE32(p));
}

// Record type of EMR_HEADER (the full record table lives with the player).
constexpr uint32_t EmrHeaderType = 1;

} // namespace

int ScaleFrameToPixels(int64_t Frame, int32_t Device, int32_t Millimeters)
{
    if (Millimeters == 0)
        return 0;
    // Exact integers: a double loses the half that decides the rounding once
    // the product passes 2^53.
    __int128 num = static_cast<__int128>(Frame) * Device;
    __int128 den = static_cast<__int128>(Millimeters) * 100;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const bool negative = num < 0;
    const __int128 magnitude = negative ? -num : num;
    const __int128 rounded = (magnitude * 2 + den) / (den * 2);
    const __int128 r = negative ? -rounded : rounded;
    if (r > INT32_MAX || r < INT32_MIN)
        return 0;
    return static_cast<int>(r);
}

EmfHeader TMetafile::ParseHeader(const uint8_t* p, size_t n)
{
    EmfHeader h;
    h.iType = u32(p);
    h.nSize = u32(p + 4);
    h.rclBounds = {i32(p + 8), i32(p + 12), i32(p + 16), i32(p + 20)};
    h.rclFrame = {i32(p + 24), i32(p + 28), i32(p + 32), i32(p + 36)};
    h.dSignature = u32(p + 40);
    h.nVersion = u32(p + 44);
    h.nBytes = u32(p + 48);
    h.nRecords = u32(p + 52);
    h.nHandles = GetLE16(p + 56);
    h.sReserved = GetLE16(p + 58);
    h.nDescription = u32(p + 60);
    h.offDescription = u32(p + 64);
    h.nPalEntries = u32(p + 68);
    h.szlDevice = {i32(p + 72), i32(p + 76)};
    h.szlMillimeters = {i32(p + 80), i32(p + 84)};
    // The optional extensions are present only when the record is long
    // enough and the description does not start inside them.
    size_t extent = std::min<size_t>(h.nSize, n);
    if (h.offDescription != 0 && h.offDescription < extent)
        extent = h.offDescription;
    if (extent >= 100) {
        h.cbPixelFormat = u32(p + 88);
        h.offPixelFormat = u32(p + 92);
        h.bOpenGL = u32(p + 96);
    }
    if (extent >= 108)
        h.szlMicrometers = {i32(p + 100), i32(p + 104)};
    return h;
}

EmfHeader TMetafile::CheckHeader(const uint8_t* Head, int64_t Available)
{
    // 108 bytes are the smallest whole page: a header record and the end record.
    if (Available < EmfHeaderBytes)
        throw EInvalidGraphic("Page data is not an enhanced metafile: only " +
                              std::to_string(Available < 0 ? 0 : Available) + " bytes remain");
    if (u32(Head) != EmrHeaderType || u32(Head + 40) != ENHMETA_SIGNATURE)
        throw EInvalidGraphic("Page data is not an enhanced metafile (no EMF header record)");
    const uint32_t nBytes = u32(Head + 48);
    if (nBytes < static_cast<uint32_t>(EmfHeaderBytes))
        throw EInvalidGraphic("Enhanced metafile header gives an impossible size of " + std::to_string(nBytes) +
                              " bytes");
    // Checked against what the page holds before anything is allocated: a
    // damaged size must not make us reserve gigabytes.
    if (static_cast<int64_t>(nBytes) > Available)
        throw EReadError("Page data ends early: the metafile needs " + std::to_string(nBytes) + " bytes, only " +
                         std::to_string(Available) + " remain");
    return ParseHeader(Head, EmfHeaderBytes);
}

void TMetafile::LoadFromStream(TStream& Stream)
{
    const int32_t pos = Stream.Position();
    const int64_t left = int64_t(Stream.Size()) - pos;
    uint8_t head[EmfHeaderBytes] = {};
    if (left >= EmfHeaderBytes)
        Stream.ReadBuffer(head, EmfHeaderBytes);
    EmfHeader header;
    try {
        header = CheckHeader(head, left);
    } catch (const EInvalidGraphic&) {
        Stream.SetPosition(pos);
        throw;
    }
    std::vector<uint8_t> data(header.nBytes);
    std::memcpy(data.data(), head, EmfHeaderBytes);
    Stream.ReadBuffer(data.data() + EmfHeaderBytes, static_cast<int32_t>(header.nBytes - EmfHeaderBytes));
    FHeader = ParseHeader(data.data(), data.size());
    FData = std::move(data);
}

void TMetafile::LoadFromBytes(std::vector<uint8_t> Bytes)
{
    // In place: a large page is not copied once more.
    const EmfHeader header = CheckHeader(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    Bytes.resize(header.nBytes);
    FHeader = ParseHeader(Bytes.data(), Bytes.size());
    FData = std::move(Bytes);
}

void TMetafile::LoadFromFile(const std::string& FileName)
{
    TFileStream f(FileName, fmOpenRead);
    LoadFromStream(f);
}

void TMetafile::SaveToStream(TStream& Stream) const
{
    Stream.WriteBuffer(FData.data(), static_cast<int32_t>(FData.size()));
}

void TMetafile::SaveToFile(const std::string& FileName) const
{
    SaveFileReplacing(FileName, [this](TStream& f) { SaveToStream(f); });
}

void TMetafile::Clear()
{
    FData.clear();
    FHeader = EmfHeader();
}

int EmfWidthPx(const EmfHeader& Header)
{
    return ScaleFrameToPixels(int64_t(Header.rclFrame.Right) - Header.rclFrame.Left, Header.szlDevice.cx,
                              Header.szlMillimeters.cx);
}

int EmfHeightPx(const EmfHeader& Header)
{
    return ScaleFrameToPixels(int64_t(Header.rclFrame.Bottom) - Header.rclFrame.Top, Header.szlDevice.cy,
                              Header.szlMillimeters.cy);
}

int EmfWidthMM(const EmfHeader& Header)
{
    return static_cast<int>(
        std::clamp<int64_t>(int64_t(Header.rclFrame.Right) - Header.rclFrame.Left, INT32_MIN, INT32_MAX));
}

int EmfHeightMM(const EmfHeader& Header)
{
    return static_cast<int>(
        std::clamp<int64_t>(int64_t(Header.rclFrame.Bottom) - Header.rclFrame.Top, INT32_MIN, INT32_MAX));
}

int TMetafile::Width() const
{
    return EmfWidthPx(FHeader);
}

int TMetafile::Height() const
{
    return EmfHeightPx(FHeader);
}

int TMetafile::MMWidth() const
{
    return EmfWidthMM(FHeader);
}

int TMetafile::MMHeight() const
{
    return EmfHeightMM(FHeader);
}
