// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The path of a device context. A saved state keeps the path it was saved
// with; copies share everything built so far and only what is added after
// the copy is kept apart, so a save costs the same for a path of ten points
// or of a million. The steps are replayed through QPainterPath when the path
// is drawn, which gives the very path the calls would have built directly.
#include <QPainterPath>

#include <cstdint>
#include <memory>
#include <vector>

class TEmfPath {
public:
    // As QPainterPath's calls of the same names; elementCount() and
    // currentPosition() answer without building the path.
    void moveTo(QPointF P);
    void lineTo(QPointF P);
    void cubicTo(QPointF C1, QPointF C2, QPointF End);
    void closeSubpath();
    void addPath(const QPainterPath& Other);
    int elementCount() const { return FCount; }
    QPointF currentPosition() const { return FCurrent; }

    void Clear() { *this = TEmfPath(); }
    // Replaces the whole path (as assigning a QPainterPath).
    void Assign(const QPainterPath& Path);
    QPainterPath ToPainterPath() const;

private:
    enum TStep : uint8_t { Move, Line, Cubic, Close, Add, Replace };
    // Steps in order; points and paths in the order their steps use them.
    struct TPart {
        std::shared_ptr<const TPart> Earlier;
        size_t Depth = 1; // parts in the chain up to this one
        std::vector<uint8_t> Steps;
        std::vector<QPointF> Points;
        std::vector<QPainterPath> Paths;
    };
    TPart& Writable();
    void EnsureStart();
    void MaybeMoveTo();
    void Follow(const QPainterPath& Other);

    std::shared_ptr<TPart> FLast;
    // QPainterPath's own bookkeeping, followed step by step.
    int FCount = 0;
    QPointF FCurrent;
    QPointF FStart; // where closeSubpath() leads back to
    bool FLastIsMove = false;
    bool FNeedMove = false;
};
