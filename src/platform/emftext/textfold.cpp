// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emftext/textfold.h"

#include <QStringMatcher>

#include <array>
#include <memory>

namespace {

using FoldTable = std::array<char16_t, 0x10000>;

char16_t FoldUnit(char16_t C, unsigned Flags)
{
    // The Turkish i's first: the C locale's lower case of I is i, which
    // would leave İ and ı apart from both.
    if (Flags & FoldCase) {
        if (C == u'I' || C == u'i' || C == 0x0130 || C == 0x0131)
            return u'i';
    }
    if (Flags & FoldDiacritics) {
        if (C == 0x0130)
            return u'I';
        if (C == 0x0131)
            return u'i';
    }
    QChar c(C);
    if (c.isSurrogate())
        return C;
    if ((Flags & FoldDiacritics) && C >= 0xC0) {
        // The base letter of a canonical decomposition, repeatedly (ǖ -> ü -> u).
        for (int guard = 0; guard < 4 && c.decompositionTag() == QChar::Canonical; ++guard) {
            const QString d = c.decomposition();
            if (d.isEmpty() || d[0].isSurrogate())
                break;
            c = d[0];
        }
        if (c.unicode() == 0x00F8)
            c = QChar(u'o'); // ø has no decomposition
        else if (c.unicode() == 0x00D8)
            c = QChar(u'O');
    }
    if (Flags & FoldCase) {
        const QChar l = c.toCaseFolded();
        if (!l.isSurrogate())
            c = l;
    }
    return c.unicode();
}

const FoldTable& TableFor(unsigned Flags)
{
    static const std::array<std::unique_ptr<FoldTable>, 4> tables = [] {
        std::array<std::unique_ptr<FoldTable>, 4> t;
        for (unsigned f = 0; f < 4; ++f) {
            t[f] = std::make_unique<FoldTable>();
            for (uint32_t c = 0; c < 0x10000; ++c)
                (*t[f])[c] = FoldUnit(char16_t(c), f);
        }
        return t;
    }();
    return *tables[Flags & 3];
}

} // namespace

QString FoldText(const QString& Text, unsigned Flags)
{
    if (!(Flags & 3))
        return Text;
    const FoldTable& t = TableFor(Flags);
    QString out(Text.size(), Qt::Uninitialized);
    const char16_t* src = reinterpret_cast<const char16_t*>(Text.constData());
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0, n = Text.size(); i < n; ++i)
        dst[i] = t[src[i]];
    return out;
}

std::vector<int> FindAll(const QString& FoldedHaystack, const QString& FoldedNeedle)
{
    std::vector<int> hits;
    if (FoldedNeedle.isEmpty())
        return hits;
    const QStringMatcher matcher(FoldedNeedle);
    for (qsizetype from = 0;;) {
        const qsizetype at = matcher.indexIn(FoldedHaystack, from);
        if (at < 0)
            break;
        hits.push_back(int(at));
        from = at + FoldedNeedle.size();
    }
    return hits;
}
