// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hyperlink layer of a page: the hit test, the link event, the
// program-wide list of link sources and the dispatch of a clicked link.
#include "store/qrpagelist.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QUrl;
class TQRPrinter;

enum TQRHyperlinkEventType : uint8_t {
    heCursorMoveOver = 0,
    heCursorMoveAway = 1,
    heGoto = 2,
    heGotoNewWindow = 3 // never raised
};

// Sender is the document the page comes from, not the image.
using TQRPreviewHyperlinkEvent =
    std::function<void(TQRPrinter* Sender, TQRHyperlinkEventType EventType, const QString& Link, bool& Handled)>;

using TQRHyperlinkSourceMethod = std::function<void(TQRPrinter* Sender, const QString& Parameters)>;

struct TQRHyperlinkSourceRecord {
    QString Signature; // link prefix; empty takes every link
    TQRHyperlinkSourceMethod SourceMethod;
};

// The program-wide sources, tried in order.
std::vector<TQRHyperlinkSourceRecord>& HyperlinkSources();

// Index of the first link whose area (zoom 100, bounds inclusive) holds the
// image point (X, Y) seen at Zoom; -1 when none does.
int FindHyperlinkIndex(const std::vector<THyperlink>& Links, int X, int Y, int Zoom);

// Hands Text, minus the matching signature, to the first source whose
// signature begins it; false when no source takes it.
bool DispatchToSource(TQRPrinter* Printer, const QString& Text);
// Where a link leads: a link without a scheme is a file path relative to
// ReportFolder; file:, http:, https: and mailto: links are kept; anything
// else gives an empty URL, refused.
QUrl HyperlinkTarget(const QString& Link, const QString& ReportFolder);
// The desktop's "open" for an address or a document of the report; a
// refused link is said in a message.
void ShellOpenLink(TQRPrinter* Printer, const QString& Text);
// "EXT:" goes to the desktop, "INT:" to the sources only, anything else to
// the sources and then the desktop.
void FollowHyperlink(TQRPrinter* Printer, const QString& Link);
