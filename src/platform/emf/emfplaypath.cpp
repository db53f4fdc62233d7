// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplaypath.h"

#include <cmath>

namespace {

// A chain this long is copied into one part: each save adds at most one part,
// and a short chain keeps replay and release shallow.
constexpr size_t MaxParts = 256;

// QPainterPath ignores (with a warning) points it cannot hold.
bool Valid(QPointF P)
{
    return std::isfinite(P.x()) && std::isfinite(P.y()) && std::fabs(P.x()) < 1e128 && std::fabs(P.y()) < 1e128;
}

bool Same(QPointF A, QPointF B)
{
    return A.x() == B.x() && A.y() == B.y();
}

} // namespace

TEmfPath::TPart& TEmfPath::Writable()
{
    if (FLast && FLast.use_count() == 1)
        return *FLast;
    auto part = std::make_shared<TPart>();
    if (FLast && FLast->Depth >= MaxParts) {
        // Flatten the chain into the new part.
        std::vector<const TPart*> chain;
        for (const TPart* p = FLast.get(); p; p = p->Earlier.get())
            chain.push_back(p);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            part->Steps.insert(part->Steps.end(), (*it)->Steps.begin(), (*it)->Steps.end());
            part->Points.insert(part->Points.end(), (*it)->Points.begin(), (*it)->Points.end());
            part->Paths.insert(part->Paths.end(), (*it)->Paths.begin(), (*it)->Paths.end());
        }
    } else if (FLast) {
        part->Earlier = FLast;
        part->Depth = FLast->Depth + 1;
    }
    FLast = std::move(part);
    return *FLast;
}

void TEmfPath::EnsureStart()
{
    // An empty QPainterPath starts with a move to the origin.
    if (FCount == 0) {
        FCount = 1;
        FCurrent = FStart = QPointF();
        FLastIsMove = true;
    }
}

void TEmfPath::MaybeMoveTo()
{
    // After a closed figure the next line starts a new one where it closed.
    if (FNeedMove) {
        ++FCount;
        FStart = FCurrent;
        FLastIsMove = true;
        FNeedMove = false;
    }
}

void TEmfPath::moveTo(QPointF P)
{
    if (!Valid(P))
        return;
    TPart& part = Writable();
    part.Steps.push_back(Move);
    part.Points.push_back(P);
    EnsureStart();
    FNeedMove = false;
    if (!FLastIsMove)
        ++FCount;
    FCurrent = FStart = P;
    FLastIsMove = true;
}

void TEmfPath::lineTo(QPointF P)
{
    if (!Valid(P))
        return;
    TPart& part = Writable();
    part.Steps.push_back(Line);
    part.Points.push_back(P);
    EnsureStart();
    MaybeMoveTo();
    if (P == FCurrent)
        return;
    ++FCount;
    FCurrent = P;
    FLastIsMove = false;
}

void TEmfPath::cubicTo(QPointF C1, QPointF C2, QPointF End)
{
    if (!Valid(C1) || !Valid(C2) || !Valid(End))
        return;
    TPart& part = Writable();
    part.Steps.push_back(Cubic);
    part.Points.insert(part.Points.end(), {C1, C2, End});
    EnsureStart();
    MaybeMoveTo();
    if (FCurrent == C1 && C1 == C2 && C2 == End)
        return;
    FCount += 3;
    FCurrent = End;
    FLastIsMove = false;
}

void TEmfPath::closeSubpath()
{
    if (FCount == 0 || (FCount == 1 && FLastIsMove))
        return;
    Writable().Steps.push_back(Close);
    FNeedMove = true;
    if (Same(FCurrent, FStart))
        return;
    if (!(qFuzzyCompare(FCurrent.x(), FStart.x()) && qFuzzyCompare(FCurrent.y(), FStart.y()))) {
        ++FCount;
        FLastIsMove = false;
    }
    FCurrent = FStart;
}

void TEmfPath::addPath(const QPainterPath& Other)
{
    if (Other.isEmpty())
        return;
    TPart& part = Writable();
    part.Steps.push_back(Add);
    part.Paths.push_back(Other);
    EnsureStart();
    if (FLastIsMove)
        --FCount;
    Follow(Other);
    FCount += Other.elementCount();
}

void TEmfPath::Assign(const QPainterPath& Path)
{
    Clear();
    if (Path.elementCount() == 0)
        return;
    TPart& part = Writable();
    part.Steps.push_back(Replace);
    part.Paths.push_back(Path);
    Follow(Path);
    FCount = Path.elementCount();
}

void TEmfPath::Follow(const QPainterPath& Other)
{
    const int n = Other.elementCount();
    FCurrent = Other.currentPosition();
    // The last figure starts at the last move; a move QPainterPath adds by
    // itself after a closed figure lies where that figure started.
    int start = n - 1;
    while (start > 0 && Other.elementAt(start).type != QPainterPath::MoveToElement)
        --start;
    FStart = Other.elementAt(start);
    FNeedMove = Same(FStart, FCurrent);
    FLastIsMove = Other.elementAt(n - 1).type == QPainterPath::MoveToElement;
}

QPainterPath TEmfPath::ToPainterPath() const
{
    std::vector<const TPart*> chain;
    for (const TPart* p = FLast.get(); p; p = p->Earlier.get())
        chain.push_back(p);
    QPainterPath out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const TPart& part = **it;
        size_t point = 0, path = 0;
        for (uint8_t step : part.Steps) {
            switch (step) {
            case Move: out.moveTo(part.Points[point++]); break;
            case Line: out.lineTo(part.Points[point++]); break;
            case Cubic:
                out.cubicTo(part.Points[point], part.Points[point + 1], part.Points[point + 2]);
                point += 3;
                break;
            case Close: out.closeSubpath(); break;
            case Add: out.addPath(part.Paths[path++]); break;
            case Replace: out = part.Paths[path++]; break;
            default: break;
            }
        }
    }
    return out;
}
