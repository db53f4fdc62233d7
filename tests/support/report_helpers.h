// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test reports: written byte by byte from the file-format tables, so that the
// page list is checked against the format rather than against its own
// writer, or written by the page list for the tests of the layers above.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A minimal valid EMF of exactly Size bytes (128, or at least 140): header,
// padding comment, EOF. Seed varies the content.
Bytes MakeEmf(uint32_t Size, uint8_t Seed = 0);
Bytes ReadFileBytes(const std::string& FileName);
void WriteFileBytes(const std::string& FileName, const Bytes& Data);

int32_t GetI32(const Bytes& Data, size_t Offset);
void PutI32(Bytes& Data, size_t Offset, int32_t Value);

// A report with the given header size (128, 124, 120, 96 or any other),
// the page count stored where that layout keeps it, and records for Pages;
// compressed pages are coded with TQRCompress.
Bytes MakeReport(int32_t HeaderSize, const std::vector<Bytes>& Pages, bool Compressed, int32_t HeaderPageCount = -1);
// Appends one plain page record (number, end offset, Data, back pointer);
// an empty Data makes a record that holds no page.
void AppendPageRecord(Bytes& Report, int32_t Number, const Bytes& Data);

// A blank EMF page whose reference-device size is Width x Height pixels of
// 1 mm.
Bytes EmfPageBytes(int Width, int Height);
// A report file with one blank page per size, written by the page list.
void WriteReport(const std::string& FileName, const std::vector<std::pair<int, int>>& PageSizes);
