// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Blank EMF pages and small report files for the viewer's tests.
#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class TMetafile;
class TQRPrinter;

// A blank page whose reference-device size is Width x Height pixels.
std::unique_ptr<TMetafile> BlankPage(int Width, int Height);
// A report file with one blank page per size, in a folder that lives as
// long as the test program.
QString WriteTestReport(const QString& Name, const std::vector<std::pair<int, int>>& PageSizes);
// A report of Pages A4 portrait pages at 96 dpi.
QString WriteA4Report(const QString& Name, int Pages);
// A document that loaded FileName, on no printer.
std::unique_ptr<TQRPrinter> LoadedDocument(const QString& FileName);
