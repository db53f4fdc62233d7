// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A query as FTS5 receives it, and the snippet of a page found, with the
// words marked: the text side of TArchiveIndex::Query.
#include "archive/archiveindex.h"

#include <QString>

#include <vector>

struct TArchiveTerm {
    QString Word; // folded
    bool Prefix = false;
};

// The phrase of a query from the quote at Open to its closing quote (a quote
// inside written twice, as FTS5 has it); returns where the text goes on.
int ReadQuotedPhrase(const QString& Text, int Open, QString& Phrase);

// The query for FTS5, its column chosen by Fold; Terms gets its words.
// Throws EArchiveIndex for a query without words, EArchiveQueryTooLong.
QString ArchiveFtsMatch(const QString& Text, unsigned Fold, std::vector<TArchiveTerm>* Terms);

// The lines of Text that hold the most query words (three at most, in page
// order), joined, with the words marked.
void ArchiveSnippet(const QString& Text, unsigned Fold, const std::vector<TArchiveTerm>& Terms, TIndexHit& Hit);
