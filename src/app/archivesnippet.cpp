// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archivesnippet.h"

#include "archive/reporttext.h"
#include "platform/emftext/textfold.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>

namespace {

QString MarkedHtml(const QString& Snippet, const QList<QPoint>& Marks, const TSnippetWindow& Shown)
{
    QString html = Shown.Before ? QStringLiteral("…") : QString();
    int at = Shown.From;
    for (const QPoint& m : Marks) {
        const int start = std::max(m.x(), at), end = std::min(m.x() + m.y(), Shown.To);
        if (start >= end)
            continue;
        html += Snippet.mid(at, start - at).toHtmlEscaped();
        html += QStringLiteral("<span style=\"background-color:#ffe600;color:black\">") +
                Snippet.mid(start, end - start).toHtmlEscaped() + QStringLiteral("</span>");
        at = end;
    }
    html += Snippet.mid(at, Shown.To - at).toHtmlEscaped();
    return Shown.After ? html + QStringLiteral("…") : html;
}

} // namespace

TSnippetWindow SnippetWindow(const QString& Snippet, const std::vector<std::pair<int, int>>& Marks,
                             const QFontMetricsF& Metrics, qreal Width)
{
    const int n = int(Snippet.size());
    // Widths from per-character advances, with room for kerning and rounding.
    std::vector<qreal> before(size_t(n) + 1, 0);
    for (int i = 0; i < n; ++i)
        before[size_t(i) + 1] = before[size_t(i)] + Metrics.horizontalAdvance(Snippet[i]) * 1.02;
    const auto width = [&](int From, int To) { return before[size_t(To)] - before[size_t(From)]; };
    const qreal dots = Metrics.horizontalAdvance(QStringLiteral("…")) + 2;
    TSnippetWindow shown{0, n, false, false};
    if (width(0, n) <= Width || Marks.empty())
        return shown;
    auto first = *std::min_element(Marks.begin(), Marks.end());
    const int a = std::clamp(first.first, 0, n), b = std::clamp(first.first + first.second, a, n);
    // As far to the right as fits after From, leaving room for "…".
    const auto fill = [&](int From) {
        int to = From;
        while (to < n && width(From, to + 1) + (shown.Before ? dots : 0) + (to + 1 < n ? dots : 0) <= Width)
            ++to;
        return to;
    };
    if (width(0, b) + dots <= Width) {
        shown.To = fill(0);
    } else {
        shown.Before = true;
        // The match in the middle: half of what is left on either side.
        const qreal side = std::max<qreal>(0, (Width - 2 * dots - width(a, b)) / 2);
        int from = a;
        while (from > 0 && width(from - 1, a) <= side)
            --from;
        // At a word's start rather than inside it, when that keeps the match whole.
        if (from > 0 && !Snippet[from - 1].isSpace()) {
            const int space = int(Snippet.indexOf(u' ', from));
            if (space >= 0 && space < a)
                from = space + 1;
        }
        shown.From = from;
        shown.To = std::max(fill(from), b);
        // Near the end: the room left over goes to the text before the match.
        if (shown.To == n)
            while (shown.From > 0 && width(shown.From - 1, n) + dots <= Width)
                --shown.From;
        shown.Before = shown.From > 0;
    }
    // Never half of a surrogate pair.
    if (shown.From > 0 && shown.From < n && Snippet[shown.From].isLowSurrogate())
        ++shown.From;
    if (shown.To > 0 && shown.To < n && Snippet[shown.To].isLowSurrogate())
        ++shown.To;
    shown.After = shown.To < n;
    return shown;
}

void TSnippetDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const
{
    QStyleOptionViewItem o = Option;
    initStyleOption(&o, Index);
    o.text.clear();
    QStyle* style = o.widget ? o.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, Painter, o.widget);
    const QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &o, o.widget);
    const QString snippet = Index.data(TSnippetDelegate::SnippetRole).toString();
    QList<QPoint> marks;
    std::vector<std::pair<int, int>> spans;
    for (const QVariant& v : Index.data(TSnippetDelegate::MarksRole).toList()) {
        marks << v.toPoint();
        spans.emplace_back(v.toPoint().x(), v.toPoint().y());
    }
    QTextDocument doc;
    doc.setDefaultFont(o.font);
    doc.setDocumentMargin(0);
    doc.setHtml(MarkedHtml(snippet, marks, SnippetWindow(snippet, spans, QFontMetricsF(o.font), r.width())));
    Painter->save();
    Painter->setClipRect(r);
    Painter->translate(r.left(), r.top() + (r.height() - doc.size().height()) / 2);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(
        QPalette::Text,
        o.palette.color(o.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    doc.documentLayout()->draw(Painter, context);
    Painter->restore();
}

// The marks of a snippet: where the query's phrases stand in it, as the
// page will mark them; the index's own marks (each word) when the phrases
// are not found there whole.
QList<QPoint> SnippetMarks(const TIndexHit& Hit, const QString& Pattern)
{
    QList<QPoint> marks;
    if (!Pattern.isEmpty()) {
        try {
            for (const auto& [start, length] : TTextQuery(Pattern, FoldCase, true).Find(Hit.Snippet))
                marks << QPoint(start, length);
        } catch (const std::exception&) {
            marks.clear();
        }
    }
    if (marks.isEmpty())
        for (const auto& [start, length] : Hit.Marks)
            marks << QPoint(start, length);
    std::sort(marks.begin(), marks.end(), [](QPoint A, QPoint B) { return A.x() < B.x(); });
    return marks;
}
