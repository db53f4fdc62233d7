// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archivephrases.h"

#include "archive/archivequerytext.h"
#include "platform/emftext/textfold.h"

#include <utility>

namespace {

bool IsOperator(const QString& Word)
{
    return Word == u"AND" || Word == u"OR" || Word == u"NOT" || Word == u"NEAR";
}

// One word or quoted phrase of the query as the index splits and folds it.
QString PhraseOf(const QString& Item)
{
    std::vector<TArchiveTerm> terms;
    try {
        ArchiveFtsMatch(Item, FoldCase, &terms);
    } catch (const EArchiveQueryTooLong&) {
        throw;
    } catch (const EArchiveIndex&) {
        return {}; // punctuation alone
    }
    QStringList words;
    for (const TArchiveTerm& t : terms)
        words << t.Word;
    QString phrase = words.join(u' ');
    if (!terms.empty() && terms.back().Prefix)
        phrase += u'*';
    return phrase;
}

} // namespace

QStringList ArchiveQueryPhrases(const QString& Text)
{
    // The whole query is checked first, so that its length is refused as a search would.
    ArchiveFtsMatch(Text, FoldCase, nullptr);
    QStringList phrases;
    bool negated = false; // the next word, phrase or group is under NOT
    int depth = 0, negatedDepth = -1;
    const int n = Text.size();
    for (int i = 0; i < n;) {
        const QChar c = Text[i];
        QString item;
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == u'(' || c == u')') {
            if (c == u'(') {
                if (std::exchange(negated, false))
                    negatedDepth = depth;
                ++depth;
            } else if (depth > 0 && --depth == negatedDepth) {
                negatedDepth = -1;
            }
            ++i;
            continue;
        }
        if (c == u'"') {
            QString phrase;
            i = ReadQuotedPhrase(Text, i, phrase);
            item = u'"' + phrase.replace(u'"', QStringLiteral("\"\"")) + u'"';
            if (i < n && Text[i] == u'*') {
                item += u'*';
                ++i;
            }
        } else {
            int j = i;
            while (j < n && !Text[j].isSpace() && Text[j] != u'"' && Text[j] != u'(' && Text[j] != u')')
                ++j;
            item = Text.mid(i, j - i);
            i = j;
            if (IsOperator(item)) {
                negated = item == u"NOT";
                continue;
            }
        }
        if (std::exchange(negated, false) || negatedDepth >= 0)
            continue;
        const QString phrase = PhraseOf(item);
        if (!phrase.isEmpty() && !phrases.contains(phrase))
            phrases << phrase;
    }
    return phrases;
}

QString ArchivePhrasePattern(const QStringList& Phrases)
{
    QStringList alternatives;
    for (QString phrase : Phrases) {
        const bool prefix = phrase.endsWith(u'*');
        if (prefix)
            phrase.chop(1);
        QStringList words;
        for (const QString& w : phrase.split(u' ', Qt::SkipEmptyParts)) {
            // Only letters and digits pass unescaped, so that they are folded like the page.
            QString escaped;
            for (QChar c : w)
                escaped += c.isLetterOrNumber() ? QString(c) : QStringLiteral("\\") + c;
            words << escaped;
        }
        if (words.isEmpty())
            continue;
        // The index takes '_' and all punctuation for a gap between words.
        alternatives << QStringLiteral("(?<!\\w)") + words.join(QStringLiteral("[\\W_]+")) +
                            (prefix ? QStringLiteral("\\w*") : QStringLiteral("(?!\\w)"));
    }
    return alternatives.join(u'|');
}
