// SPDX-License-Identifier: GPL-3.0-or-later
#include "emfpage.h"

namespace {

constexpr uint32_t Header = 1, Eof = 14, GdiComment = 70;
constexpr uint32_t Signature = 0x464D4520; // " EMF"
constexpr uint32_t EofBytes = 20;

} // namespace

void Put32(std::vector<uint8_t>& Out, uint32_t V)
{
    for (int i = 0; i < 4; ++i)
        Out.push_back(uint8_t(V >> (8 * i)));
}

void Put16(std::vector<uint8_t>& Out, uint16_t V)
{
    Out.push_back(uint8_t(V));
    Out.push_back(uint8_t(V >> 8));
}

void PutDibHeader(std::vector<uint8_t>& Out, uint32_t Width, uint32_t Height, uint16_t Bits, uint32_t Colours)
{
    for (uint32_t v : {40u, Width, Height})
        Put32(Out, v);
    Put16(Out, 1);
    Put16(Out, Bits);
    for (uint32_t v : {0u, 0u, 0u, 0u, Colours, 0u})
        Put32(Out, v);
}

void Set32(std::vector<uint8_t>& Data, size_t At, uint32_t V)
{
    for (int i = 0; i < 4; ++i)
        Data.at(At + i) = uint8_t(V >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t>& Data, size_t At)
{
    return uint32_t(Data.at(At)) | uint32_t(Data.at(At + 1)) << 8 | uint32_t(Data.at(At + 2)) << 16 |
           uint32_t(Data.at(At + 3)) << 24;
}

TEmfPageBuilder& TEmfPageBuilder::Bounds(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom)
{
    FBounds[0] = Left, FBounds[1] = Top, FBounds[2] = Right, FBounds[3] = Bottom;
    return *this;
}

TEmfPageBuilder& TEmfPageBuilder::Frame(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom)
{
    FFrame[0] = Left, FFrame[1] = Top, FFrame[2] = Right, FFrame[3] = Bottom;
    return *this;
}

TEmfPageBuilder& TEmfPageBuilder::Device(int32_t Width, int32_t Height)
{
    FDevice[0] = Width, FDevice[1] = Height;
    return *this;
}

TEmfPageBuilder& TEmfPageBuilder::Millimeters(int32_t Width, int32_t Height)
{
    FMillimeters[0] = Width, FMillimeters[1] = Height;
    return *this;
}

TEmfPageBuilder& TEmfPageBuilder::Micrometers(int32_t Width, int32_t Height)
{
    FMicrometers[0] = Width, FMicrometers[1] = Height;
    return *this;
}

TEmfPageBuilder& TEmfPageBuilder::Handles(uint16_t Count)
{
    FHandles = Count;
    return *this;
}

TEmfPageBuilder& TEmfPageBuilder::HeaderSize(uint32_t Size)
{
    FHeaderSize = Size;
    return *this;
}

TEmfPageBuilder& TEmfPageBuilder::MillimetrePixels(int32_t Width, int32_t Height)
{
    return Bounds(0, 0, Width - 1, Height - 1)
        .Frame(0, 0, Width * 100, Height * 100)
        .Device(1000, 1000)
        .Millimeters(1000, 1000)
        .Micrometers(1000000, 1000000);
}

TEmfPageBuilder& TEmfPageBuilder::Record(uint32_t Type, const std::vector<uint8_t>& Body, uint32_t DeclaredSize)
{
    const size_t padded = (Body.size() + 3) / 4 * 4;
    Put32(FRecords, Type);
    Put32(FRecords, DeclaredSize ? DeclaredSize : uint32_t(8 + padded));
    FRecords.insert(FRecords.end(), Body.begin(), Body.end());
    FRecords.resize(FRecords.size() + padded - Body.size(), 0);
    ++FCount;
    return *this;
}

TEmfPageBuilder& TEmfPageBuilder::Record(uint32_t Type, std::initializer_list<uint32_t> Values)
{
    std::vector<uint8_t> body;
    for (uint32_t v : Values)
        Put32(body, v);
    return Record(Type, body);
}

TEmfPageBuilder& TEmfPageBuilder::Comment(const std::vector<uint8_t>& Data)
{
    std::vector<uint8_t> body;
    Put32(body, uint32_t(Data.size()));
    body.insert(body.end(), Data.begin(), Data.end());
    return Record(GdiComment, body);
}

size_t TEmfPageBuilder::Size() const
{
    return FHeaderSize + FRecords.size() + EofBytes;
}

std::vector<uint8_t> TEmfPageBuilder::Bytes() const
{
    std::vector<uint8_t> out;
    Put32(out, Header);
    Put32(out, FHeaderSize);
    for (int32_t v : FBounds)
        Put32(out, uint32_t(v));
    for (int32_t v : FFrame)
        Put32(out, uint32_t(v));
    Put32(out, Signature);
    Put32(out, 0x10000); // version
    Put32(out, uint32_t(Size()));
    Put32(out, FCount + 2); // with the header and end-of-file records
    Put16(out, FHandles);
    Put16(out, 0);
    for (int i = 0; i < 3; ++i)
        Put32(out, 0); // description length and offset, palette entries
    for (int32_t v : FDevice)
        Put32(out, uint32_t(v));
    for (int32_t v : FMillimeters)
        Put32(out, uint32_t(v));
    for (int i = 0; i < 3; ++i)
        Put32(out, 0); // pixel format size and offset, OpenGL
    for (int32_t v : FMicrometers)
        Put32(out, uint32_t(v));
    out.resize(FHeaderSize, 0);
    out.insert(out.end(), FRecords.begin(), FRecords.end());
    for (uint32_t v : {Eof, EofBytes, 0u, 16u, EofBytes}) // no palette; its offset; size again
        Put32(out, v);
    return out;
}
