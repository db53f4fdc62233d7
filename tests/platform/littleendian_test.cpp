// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/littleendian.h"

#include <gtest/gtest.h>

#include <cstring>

// Bytes as a report file or an EMF page stores them: least significant
// first, whatever the host's order, and no sign extension on the way in.
TEST(LittleEndian, ReadsAndWritesLeastSignificantByteFirst)
{
    const uint8_t bytes[8] = {0x01, 0x02, 0x83, 0xF4, 0x05, 0x06, 0x07, 0x88};
    EXPECT_EQ(GetLE16(bytes), 0x0201u);
    EXPECT_EQ(GetLE16(bytes + 2), 0xF483u);
    EXPECT_EQ(GetLE32(bytes), 0xF4830201u);
    EXPECT_EQ(static_cast<int32_t>(GetLE32(bytes)), -192740863);
    EXPECT_EQ(GetLE64(bytes), 0x88070605F4830201ull);

    uint8_t out[8];
    std::memset(out, 0xAA, sizeof out);
    PutLE16(out, 0x0201);
    PutLE16(out + 2, 0xF483);
    EXPECT_EQ(0, std::memcmp(out, bytes, 4));
    EXPECT_EQ(out[4], 0xAA) << "a 16-bit write stays in its two bytes";
    PutLE32(out, 0xF4830201u);
    EXPECT_EQ(0, std::memcmp(out, bytes, 4));
    EXPECT_EQ(out[4], 0xAA) << "a 32-bit write stays in its four bytes";
    PutLE64(out, 0x88070605F4830201ull);
    EXPECT_EQ(0, std::memcmp(out, bytes, 8));
    PutLE32(out, static_cast<uint32_t>(-2));
    EXPECT_EQ(static_cast<int32_t>(GetLE32(out)), -2);
}
