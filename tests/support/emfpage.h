// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EMF pages for the tests, built record by record without Qt: records are
// appended as they come, and the header's byte and record counts are filled
// in, with the end-of-file record, when the page is taken.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

// Little-endian values appended to Out.
void Put32(std::vector<uint8_t>& Out, uint32_t V);
void Put16(std::vector<uint8_t>& Out, uint16_t V);
// A BITMAPINFOHEADER of a bottom-up Width x Height DIB, uncompressed.
void PutDibHeader(std::vector<uint8_t>& Out, uint32_t Width, uint32_t Height, uint16_t Bits, uint32_t Colours = 0);
// A little-endian value written over, or read from, Data at At.
void Set32(std::vector<uint8_t>& Data, size_t At, uint32_t V);
uint32_t Get32(const std::vector<uint8_t>& Data, size_t At);

class TEmfPageBuilder {
public:
    // Every header field zero but the signature, the version and the size.
    TEmfPageBuilder() = default;

    TEmfPageBuilder& Bounds(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom); // pixels
    TEmfPageBuilder& Frame(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);  // 0.01 mm
    TEmfPageBuilder& Device(int32_t Width, int32_t Height);                            // pixels
    TEmfPageBuilder& Millimeters(int32_t Width, int32_t Height);
    TEmfPageBuilder& Micrometers(int32_t Width, int32_t Height);
    TEmfPageBuilder& Handles(uint16_t Count);
    // A header record of Size bytes: a shorter one lacks the later fields.
    TEmfPageBuilder& HeaderSize(uint32_t Size);
    // A reference device of square 1 mm pixels and a frame of Width x Height
    // of them, so that playing into a Width x Height image maps one unit to
    // one pixel.
    TEmfPageBuilder& MillimetrePixels(int32_t Width, int32_t Height);

    // A record of Type with a raw body padded to 4 bytes; DeclaredSize 0
    // writes the true size.
    TEmfPageBuilder& Record(uint32_t Type, const std::vector<uint8_t>& Body, uint32_t DeclaredSize = 0);
    // A record of Type whose body is the given 32-bit values.
    TEmfPageBuilder& Record(uint32_t Type, std::initializer_list<uint32_t> Values);
    // A comment record carrying Data.
    TEmfPageBuilder& Comment(const std::vector<uint8_t>& Data);

    // The page: header, records, end-of-file record.
    std::vector<uint8_t> Bytes() const;
    // The size Bytes() will have.
    size_t Size() const;

private:
    int32_t FBounds[4] = {}, FFrame[4] = {};
    int32_t FDevice[2] = {}, FMillimeters[2] = {}, FMicrometers[2] = {};
    uint16_t FHandles = 0;
    uint32_t FHeaderSize = 108;
    uint32_t FCount = 0;
    std::vector<uint8_t> FRecords;
};
