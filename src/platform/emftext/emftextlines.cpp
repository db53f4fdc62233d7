// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emftext/emftext.h"

#include "platform/metafile.h"

#include <algorithm>
#include <cmath>

namespace {

struct TLineBuild {
    double Baseline = 0;
    double Em = 0;
    std::vector<const TEmfTextRun*> Runs;
};

double Left(const TEmfTextRun& R)
{
    return R.Origin.x() + std::min(R.Offsets.front(), R.Offsets.back());
}

double Right(const TEmfTextRun& R)
{
    return R.Origin.x() + std::max(R.Offsets.front(), R.Offsets.back());
}

void Append(TEmfTextLine& Line, const TEmfTextRun& Run, bool WithBoxes)
{
    // Characters drawn right to left (negative advances) still read in the
    // order they are stored.
    Line.Text += Run.Text;
    if (WithBoxes)
        for (qsizetype i = 0; i < Run.Text.size(); ++i)
            Line.Boxes.push_back(Run.CharBox(size_t(i)));
    Line.Bounds = Line.Bounds.isNull() ? Run.Bounds() : Line.Bounds.united(Run.Bounds());
}

bool Blank(const TEmfTextRun& R)
{
    return std::all_of(R.Text.begin(), R.Text.end(), [](QChar c) { return c.isSpace(); });
}

} // namespace

std::vector<TEmfTextLine> EmfTextLines(const std::vector<TEmfTextRun>& Runs, bool WithBoxes)
{
    std::vector<TEmfTextLine> lines;
    std::vector<const TEmfTextRun*> upright;
    for (const TEmfTextRun& r : Runs) {
        if (r.Text.isEmpty() || r.Offsets.size() != size_t(r.Text.size()) + 1 || Blank(r))
            continue;
        if (r.Upright()) {
            upright.push_back(&r);
            continue;
        }
        TEmfTextLine line;
        line.Rotated = true;
        Append(line, r, WithBoxes);
        line.Baseline = line.Bounds.top();
        lines.push_back(std::move(line));
    }

    // Baselines closer than a third of the smaller font's height are one line.
    std::stable_sort(upright.begin(), upright.end(),
                     [](const TEmfTextRun* a, const TEmfTextRun* b) { return a->Origin.y() < b->Origin.y(); });
    std::vector<TLineBuild> builds;
    for (const TEmfTextRun* r : upright) {
        const double y = r->Origin.y();
        TLineBuild* into = nullptr;
        // Only the last few lines can be near: runs come sorted by baseline.
        for (size_t k = builds.size(); k-- > 0 && builds.size() - k <= 4;) {
            if (std::fabs(builds[k].Baseline - y) < std::min(builds[k].Em, r->Em()) / 3) {
                into = &builds[k];
                break;
            }
        }
        if (!into) {
            builds.push_back({y, r->Em(), {}});
            into = &builds.back();
        }
        into->Runs.push_back(r);
        into->Em = std::max(into->Em, r->Em());
    }
    for (TLineBuild& b : builds) {
        std::stable_sort(b.Runs.begin(), b.Runs.end(),
                         [](const TEmfTextRun* a, const TEmfTextRun* c) { return Left(*a) < Left(*c); });
        TEmfTextLine line;
        line.Baseline = b.Baseline;
        const TEmfTextRun* prev = nullptr;
        for (const TEmfTextRun* r : b.Runs) {
            if (prev) {
                const double gap = Left(*r) - Right(*prev);
                const bool spaced = line.Text.endsWith(QLatin1Char(' ')) || r->Text.startsWith(QLatin1Char(' '));
                if (gap > std::min(prev->Em(), r->Em()) / 3 && !spaced) {
                    line.Text += QLatin1Char(' ');
                    if (WithBoxes)
                        line.Boxes.emplace_back(Right(*prev), b.Baseline - prev->Ascent, gap,
                                                prev->Ascent + prev->Descent);
                }
            }
            Append(line, *r, WithBoxes);
            prev = r;
        }
        // Trailing blanks carry nothing for a reader.
        while (line.Text.endsWith(QLatin1Char(' '))) {
            line.Text.chop(1);
            if (WithBoxes)
                line.Boxes.pop_back();
        }
        lines.push_back(std::move(line));
    }
    std::stable_sort(lines.begin(), lines.end(), [](const TEmfTextLine& a, const TEmfTextLine& b) {
        const double ya = a.Rotated ? a.Bounds.top() : a.Baseline, yb = b.Rotated ? b.Bounds.top() : b.Baseline;
        return ya != yb ? ya < yb : a.Bounds.left() < b.Bounds.left();
    });
    return lines;
}

std::vector<TEmfTextLine> EmfPageLines(const TMetafile& Page, bool WithBoxes, bool* Damaged)
{
    const TEmfTextRuns runs = EmfTextRuns(Page);
    if (Damaged)
        *Damaged = runs.Damaged;
    return EmfTextLines(runs.Runs, WithBoxes);
}

std::vector<TEmfTextLine> EmfPageLines(const uint8_t* Data, size_t Size, bool WithBoxes)
{
    TMetafile page;
    try {
        page.LoadFromBytes(std::vector<uint8_t>(Data, Data + Size));
    } catch (...) {
        return {};
    }
    return EmfPageLines(page, WithBoxes);
}

QString EmfLinesText(const std::vector<TEmfTextLine>& Lines)
{
    QString out;
    for (const TEmfTextLine& l : Lines) {
        out += l.Text;
        out += QLatin1Char('\n');
    }
    return out;
}

QString EmfTextInArea(const std::vector<TEmfTextLine>& Lines, const QRectF& Area)
{
    QString out;
    for (const TEmfTextLine& l : Lines) {
        if (!l.Bounds.intersects(Area) || l.Boxes.size() != size_t(l.Text.size()))
            continue;
        QString part;
        for (size_t i = 0; i < l.Boxes.size(); ++i)
            if (Area.contains(l.Boxes[i].center()))
                part += l.Text[qsizetype(i)];
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        out += part;
        out += QLatin1Char('\n');
    }
    return out;
}
