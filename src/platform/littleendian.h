// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Little-endian integers in byte buffers, as the report files and EMF pages
// store them, whatever the host's byte order. The caller checks the bounds.
#include <cstdint>

inline uint16_t GetLE16(const uint8_t* Bytes)
{
    return static_cast<uint16_t>(Bytes[0] | Bytes[1] << 8);
}

inline uint32_t GetLE32(const uint8_t* Bytes)
{
    return uint32_t(Bytes[0]) | uint32_t(Bytes[1]) << 8 | uint32_t(Bytes[2]) << 16 | uint32_t(Bytes[3]) << 24;
}

inline uint64_t GetLE64(const uint8_t* Bytes)
{
    return uint64_t(GetLE32(Bytes)) | uint64_t(GetLE32(Bytes + 4)) << 32;
}

inline void PutLE16(uint8_t* Bytes, uint16_t Value)
{
    Bytes[0] = static_cast<uint8_t>(Value);
    Bytes[1] = static_cast<uint8_t>(Value >> 8);
}

inline void PutLE32(uint8_t* Bytes, uint32_t Value)
{
    for (int i = 0; i < 4; ++i)
        Bytes[i] = static_cast<uint8_t>(Value >> (8 * i));
}

inline void PutLE64(uint8_t* Bytes, uint64_t Value)
{
    PutLE32(Bytes, static_cast<uint32_t>(Value));
    PutLE32(Bytes + 4, static_cast<uint32_t>(Value >> 32));
}
