// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A query as FTS5 receives it, and the snippet of a page found, with the
// words marked: the text side of TArchiveIndex::Query.
#include "archive/archiveindex.h"

#include <QString>
#include <QStringView>

#include <vector>

struct TArchiveTerm {
    QString Word; // folded
    bool Prefix = false;
};

// A character of a word, as the index's tokenizers (FTS5's unicode61 with
// the private-use area, the server's words one space apart) take it.
inline bool IsTokenChar(QChar C)
{
    return C.isLetterOrNumber() || C.category() == QChar::Other_PrivateUse;
}

// Token(From, Length) for each word of folded Text, in order: the words the
// index holds and a query looks for are split the same way everywhere.
template <typename TToken>
void ForEachArchiveToken(QStringView Text, TToken&& Token)
{
    for (qsizetype i = 0; i < Text.size();) {
        if (!IsTokenChar(Text[i])) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < Text.size() && IsTokenChar(Text[j]))
            ++j;
        Token(int(i), int(j - i));
        i = j;
    }
}

// The phrase of a query from the quote at Open to its closing quote (a quote
// inside written twice, as FTS5 has it); returns where the text goes on.
int ReadQuotedPhrase(const QString& Text, int Open, QString& Phrase);

// The query for FTS5, its column chosen by Fold; Terms gets its words.
// Throws EArchiveIndex for a query without words, EArchiveQueryTooLong.
QString ArchiveFtsMatch(const QString& Text, unsigned Fold, std::vector<TArchiveTerm>* Terms);

// The lines of Text that hold the query's words best (three at most, in page
// order), joined, with the words marked: first those where the most of them
// stand as the query gives them (adjacent, in order), then those holding the
// most of them.
void ArchiveSnippet(const QString& Text, unsigned Fold, const std::vector<TArchiveTerm>& Terms, TIndexHit& Hit);
