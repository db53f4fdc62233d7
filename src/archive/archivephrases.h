// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What of an archive query is marked on the page a hit opens: each word or
// phrase the query asks for, with its words in a row. "STF-000450" or
// "sayfa toplamı" in quotes marks those words where they stand together, not
// every "STF" of the page; a word after NOT is not marked at all.
#include <QString>
#include <QStringList>

// The phrases of Text, each its words folded with FoldCase and joined by a
// space; a prefix ends in '*'. Operators and words under NOT are left out;
// a query that marks nothing gives an empty list. Throws EArchiveQueryTooLong
// as the query would.
QStringList ArchiveQueryPhrases(const QString& Text);

// A regular expression for TTextQuery that finds any of Phrases (as
// ArchiveQueryPhrases gives them) as whole words, their words in a row with
// only spaces or punctuation between them, as the index matched them. Empty
// for no phrase.
QString ArchivePhrasePattern(const QStringList& Phrases);
