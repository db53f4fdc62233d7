// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The snippet column of the archive window: the page's lines around the
// match, cut to the column so that the match is always in sight, with the
// query's phrases marked as the opened page will mark them.
#include "archive/archiveindex.h"

#include <QFontMetricsF>
#include <QList>
#include <QPoint>
#include <QStyledItemDelegate>

#include <utility>
#include <vector>

// The part of a snippet that a column Width pixels wide shows: its first
// mark in sight (in the middle when the text is longer than the column),
// with "…" where text was left out.
struct TSnippetWindow {
    int From = 0, To = 0;
    bool Before = false, After = false;
};
TSnippetWindow SnippetWindow(const QString& Snippet, const std::vector<std::pair<int, int>>& Marks,
                             const QFontMetricsF& Metrics, qreal Width);

// Where Pattern (ArchivePhrasePattern) finds the query's phrases in the
// hit's snippet, by start; the index's own marks (each word) when the
// phrases are not there whole.
QList<QPoint> SnippetMarks(const TIndexHit& Hit, const QString& Pattern);

// Draws the snippet of SnippetRole with the marks of MarksRole (a list of
// QPoint: start and length) as rich text.
class TSnippetDelegate : public QStyledItemDelegate {
public:
    static constexpr int SnippetRole = Qt::UserRole + 1;
    static constexpr int MarksRole = Qt::UserRole + 2;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
};
