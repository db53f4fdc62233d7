// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfplaybidi.h"

#include <QChar>

#include <algorithm>
#include <cstdint>

namespace {

enum TBidiClass : uint8_t { BL, BR, BEN, BAN, BES, BET, BCS, BNSM, BON };

char32_t CodePointAt(const QString& Text, int I)
{
    const QChar c = Text[I];
    if (c.isHighSurrogate() && I + 1 < Text.size() && Text[I + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, Text[I + 1]);
    if (c.isLowSurrogate() && I > 0 && Text[I - 1].isHighSurrogate())
        return QChar::surrogateToUcs4(Text[I - 1], c);
    return c.unicode();
}

bool IsRightToLeft(QChar::Direction D)
{
    return D == QChar::DirR || D == QChar::DirAL || D == QChar::DirRLE || D == QChar::DirRLO || D == QChar::DirRLI;
}

// Resolved embedding level of every unit (rules W1 to I2 and L1).
// Calls Visit(I, J) for each run [I, J) of Class in Classes; Visit may
// change the run's classes.
template <typename TVisit>
void ForEachRun(const std::vector<TBidiClass>& Classes, TBidiClass Class, TVisit&& Visit)
{
    const int n = int(Classes.size());
    for (int i = 0; i < n;) {
        if (Classes[size_t(i)] != Class) {
            ++i;
            continue;
        }
        int j = i;
        while (j < n && Classes[size_t(j)] == Class)
            ++j;
        Visit(i, j);
        i = j;
    }
}

std::vector<uint8_t> Levels(const QString& Text, bool Rtl)
{
    const int n = int(Text.size());
    const TBidiClass e = Rtl ? BR : BL;
    std::vector<TBidiClass> cls(size_t(n), BON);
    std::vector<bool> arabic(size_t(n), false), space(size_t(n), false), separator(size_t(n), false);
    for (int i = 0; i < n; ++i) {
        TBidiClass c = BON;
        switch (QChar::direction(CodePointAt(Text, i))) {
        case QChar::DirL: c = BL; break;
        case QChar::DirR: c = BR; break;
        case QChar::DirAL:
            c = BR;
            arabic[size_t(i)] = true;
            break;
        case QChar::DirEN: c = BEN; break;
        case QChar::DirES: c = BES; break;
        case QChar::DirET: c = BET; break;
        case QChar::DirAN: c = BAN; break;
        case QChar::DirCS: c = BCS; break;
        case QChar::DirNSM:
        case QChar::DirBN: c = BNSM; break;
        case QChar::DirWS: space[size_t(i)] = true; break;
        case QChar::DirS:
        case QChar::DirB: separator[size_t(i)] = true; break;
        default: break; // other neutrals and explicit codes, which a single line ignores
        }
        cls[size_t(i)] = c;
    }
    // W1: a mark takes the class of what it follows.
    for (int i = 0; i < n; ++i)
        if (cls[size_t(i)] == BNSM) {
            cls[size_t(i)] = i ? cls[size_t(i - 1)] : e;
            arabic[size_t(i)] = i && arabic[size_t(i - 1)];
        }
    // W2, W3: European digits after Arabic letters are Arabic digits.
    bool afterArabic = false;
    for (int i = 0; i < n; ++i) {
        if (cls[size_t(i)] == BL || cls[size_t(i)] == BR)
            afterArabic = arabic[size_t(i)];
        else if (cls[size_t(i)] == BEN && afterArabic)
            cls[size_t(i)] = BAN;
    }
    // W4: one separator between two numbers of a kind joins them.
    for (int i = 1; i + 1 < n; ++i) {
        const TBidiClass a = cls[size_t(i - 1)], b = cls[size_t(i + 1)];
        if (cls[size_t(i)] == BES && a == BEN && b == BEN)
            cls[size_t(i)] = BEN;
        else if (cls[size_t(i)] == BCS && a == b && (a == BEN || a == BAN))
            cls[size_t(i)] = a;
    }
    // W5: terminators (currency, per cent) next to European digits.
    ForEachRun(cls, BET, [&](int I, int J) {
        if ((I > 0 && cls[size_t(I - 1)] == BEN) || (J < n && cls[size_t(J)] == BEN))
            std::fill(cls.begin() + I, cls.begin() + J, BEN);
    });
    // W6, W7: left separators are neutral; European digits after left
    // text are left.
    TBidiClass strong = e;
    for (int i = 0; i < n; ++i) {
        TBidiClass& c = cls[size_t(i)];
        if (c == BES || c == BET || c == BCS)
            c = BON;
        if (c == BL || c == BR)
            strong = c;
        else if (c == BEN && strong == BL)
            c = BL;
    }
    // N1, N2: neutrals between two of the same direction take it, others
    // the paragraph's; numbers count as right to left here.
    auto side = [](TBidiClass C) { return C == BL ? BL : BR; };
    ForEachRun(cls, BON, [&](int I, int J) {
        const TBidiClass before = I ? side(cls[size_t(I - 1)]) : e, after = J < n ? side(cls[size_t(J)]) : e;
        std::fill(cls.begin() + I, cls.begin() + J, before == after ? before : e);
    });
    // I1, I2.
    const uint8_t base = Rtl ? 1 : 0;
    std::vector<uint8_t> level(size_t(n), base);
    for (int i = 0; i < n; ++i) {
        const TBidiClass c = cls[size_t(i)];
        if (!Rtl)
            level[size_t(i)] = c == BR ? 1 : (c == BAN || c == BEN) ? 2 : 0;
        else
            level[size_t(i)] = c == BR ? 1 : 2;
    }
    // L1: separators, and spaces before them or at the end, at the base level.
    bool trailing = true;
    for (int i = n - 1; i >= 0; --i) {
        if (separator[size_t(i)]) {
            level[size_t(i)] = base;
            trailing = true;
        } else if (space[size_t(i)] && trailing) {
            level[size_t(i)] = base;
        } else {
            trailing = false;
        }
    }
    return level;
}

struct TArabicForms {
    uint16_t Isolated; // first of the forms in Arabic Presentation Forms-B
    uint8_t Count;     // 1: does not join, 2: joins the letter before only, 4: both sides
};

// U+0621 to U+064A: isolated, final, initial, medial forms in this order.
const TArabicForms ArabicForms[] = {
    {0xFE80, 1}, {0xFE81, 2}, {0xFE83, 2}, {0xFE85, 2}, {0xFE87, 2}, {0xFE89, 4}, {0xFE8D, 2}, {0xFE8F, 4}, {0xFE93, 2},
    {0xFE95, 4}, {0xFE99, 4}, {0xFE9D, 4}, {0xFEA1, 4}, {0xFEA5, 4}, {0xFEA9, 2}, {0xFEAB, 2}, {0xFEAD, 2}, {0xFEAF, 2},
    {0xFEB1, 4}, {0xFEB5, 4}, {0xFEB9, 4}, {0xFEBD, 4}, {0xFEC1, 4}, {0xFEC5, 4}, {0xFEC9, 4}, {0xFECD, 4}, {0, 0},
    {0, 0},      {0, 0},      {0, 0},      {0, 0},      {0, 0},      {0xFED1, 4}, {0xFED5, 4}, {0xFED9, 4}, {0xFEDD, 4},
    {0xFEE1, 4}, {0xFEE5, 4}, {0xFEE9, 4}, {0xFEED, 2}, {0xFEEF, 2}, {0xFEF1, 4},
};

TArabicForms FormsOf(char16_t C)
{
    if (C >= 0x0621 && C <= 0x064A)
        return ArabicForms[C - 0x0621];
    return {0, 0};
}

// Tatweel and the zero-width joiner join on both sides without a form.
bool JoinsCausing(char16_t C)
{
    return C == 0x0640 || C == 0x200D;
}

bool JoinsNext(char16_t C)
{
    return FormsOf(C).Count == 4 || JoinsCausing(C);
}

bool JoinsPrevious(char16_t C)
{
    return FormsOf(C).Count >= 2 || JoinsCausing(C);
}

} // namespace

bool EmfHasRightToLeft(const QString& Text)
{
    for (int i = 0; i < Text.size(); ++i)
        if (Text[i].unicode() >= 0x0590 && IsRightToLeft(QChar::direction(CodePointAt(Text, i))))
            return true;
    return false;
}

QString EmfShapeArabic(const QString& Text)
{
    QString out = Text;
    const int n = int(Text.size());
    auto transparent = [&](int I) { return QChar::joiningType(Text[I].unicode()) == QChar::Joining_Transparent; };
    for (int i = 0; i < n; ++i) {
        const char16_t c = Text[i].unicode();
        const TArabicForms f = FormsOf(c);
        if (!f.Count)
            continue;
        int before = i - 1, after = i + 1;
        while (before >= 0 && transparent(before))
            --before;
        while (after < n && transparent(after))
            ++after;
        const bool joinBefore = f.Count >= 2 && before >= 0 && JoinsNext(Text[before].unicode());
        const bool joinAfter = f.Count == 4 && after < n && JoinsPrevious(Text[after].unicode());
        int form = 0;
        if (joinBefore && joinAfter)
            form = 3;
        else if (joinBefore)
            form = 1;
        else if (joinAfter)
            form = 2;
        out[i] = QChar(char16_t(f.Isolated + form));
    }
    return out;
}

static std::vector<int> OrderOf(const QString& Text, const std::vector<uint8_t>& Level)
{
    const int n = int(Text.size());
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[size_t(i)] = i;
    if (!n)
        return order;
    // L2: from the highest level down to the lowest odd one, reverse every
    // run at that level or above.
    const uint8_t highest = *std::max_element(Level.begin(), Level.end());
    uint8_t lowestOdd = 255;
    for (uint8_t l : Level)
        if (l % 2)
            lowestOdd = std::min(lowestOdd, l);
    for (int l = highest; l >= int(lowestOdd) && l > 0; --l)
        for (int i = 0; i < n;) {
            if (Level[size_t(order[size_t(i)])] < l) {
                ++i;
                continue;
            }
            int j = i;
            while (j < n && Level[size_t(order[size_t(j)])] >= l)
                ++j;
            std::reverse(order.begin() + i, order.begin() + j);
            i = j;
        }
    // A reversed surrogate pair goes back to high half first.
    for (int i = 0; i + 1 < n; ++i)
        if (Text[order[size_t(i)]].isLowSurrogate() && order[size_t(i + 1)] == order[size_t(i)] - 1 &&
            Text[order[size_t(i + 1)]].isHighSurrogate())
            std::swap(order[size_t(i)], order[size_t(i + 1)]);
    return order;
}

std::vector<int> EmfVisualOrder(const QString& Text, bool RightToLeftParagraph)
{
    return OrderOf(Text, Levels(Text, RightToLeftParagraph));
}

void EmfReorderForDisplay(QString& Text, std::vector<double>& Advances, bool RightToLeftParagraph,
                          std::vector<double>* Rises)
{
    const std::vector<uint8_t> level = Levels(Text, RightToLeftParagraph);
    const std::vector<int> order = OrderOf(Text, level);
    if (Rises && Rises->size() == size_t(Text.size())) {
        std::vector<double> rises(Rises->size());
        for (size_t i = 0; i < order.size(); ++i)
            rises[i] = (*Rises)[size_t(order[i])];
        *Rises = std::move(rises);
    }
    QString text(Text.size(), Qt::Uninitialized);
    std::vector<double> advances(Advances.size());
    const bool withAdvances = Advances.size() == size_t(Text.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const int from = order[i];
        QChar c = Text[from];
        if (level[size_t(from)] % 2 && !c.isSurrogate() && c.hasMirrored())
            c = c.mirroredChar();
        text[qsizetype(i)] = c;
        if (withAdvances)
            advances[i] = Advances[size_t(from)];
    }
    Text = text;
    if (withAdvances)
        Advances = std::move(advances);
}
