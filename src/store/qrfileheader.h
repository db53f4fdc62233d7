// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report-file header: the current 128-byte layout and the older ones,
// as pure functions over the header record.
#include <array>
#include <cstdint>
#include <string>

using TQRFileHeaderRecord = std::array<uint8_t, 128>;

constexpr int32_t QRCurrentHeaderSize = 128;

// Moves the fields of a 124-byte header, read into Header, to where the
// 128-byte layout keeps them; other sizes are left as read.
void ConvertHeader(TQRFileHeaderRecord& Header, int32_t HeaderSize);

// The 128-byte header this program writes.
TQRFileHeaderRecord MakeFileHeader(int32_t PageCount, double CreationTime, bool Compression);

// What a header read with HeaderSize bytes and converted says.
struct TQRHeaderFields {
    bool HasPageCount = false; // 128: from the header; 120: fixed at 1
    int32_t PageCount = 0;
    bool HasCreationTime = false; // the 128- and 124-byte layouts
    double CreationTime = 0;
    bool Compression = false;
    // The two words every writer puts first (3 and 50). The reader trusts
    // records, not these; they only tell an empty report from other data.
    bool Marked = false;
};
TQRHeaderFields ReadHeaderFields(const TQRFileHeaderRecord& Header, int32_t HeaderSize);

// Why the file Name ended before a report could be read from it, in words
// for its user: a finished report without pages is refused like a file cut
// short, but it is not damaged and must not be called so.
std::string ShortReportReason(const std::string& Name);
