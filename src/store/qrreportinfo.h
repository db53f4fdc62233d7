// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a report file holds, found by opening it and reading every page's
// header in order: the core of `qrptool info`, and a small entry point for
// fuzzing.
#include "store/qrpagelist.h"

#include <cstdint>
#include <string>
#include <vector>

struct TQRPageInfo {
    int32_t Number = 0;
    int32_t EmfBytes = 0;
    int Width = 0, Height = 0;     // reference-device pixels
    int MMWidth = 0, MMHeight = 0; // 0.01 mm
};

struct TQRReportInfo {
    int32_t HeaderSize = 0;
    bool PageCountInHeader = false; // else counted along the record chain
    int32_t PageCount = 0;
    bool Compression = false;
    double CreationTime = 0;   // days since 30 December 1899; 0: none stored
    int32_t TrailingBytes = 0; // after the last page record, ignored
    std::vector<TQRPageInfo> Pages;
};

// LoadFromFile, then, for header layouts that carry no page count, the
// count of records found along the chain.
void LoadReportFile(TQRPageList& List, const std::string& FileName);
// The same from a memory stream (LoadFromStream, then the count).
void LoadReportStream(TQRPageList& List, TMemoryStream& Stream);

TQRReportInfo InspectReportFile(const std::string& FileName);
TQRReportInfo InspectReportData(std::vector<uint8_t> Data);
// Walks every page of a loaded list, reading each page's header only.
TQRReportInfo InspectPages(TQRPageList& List);
