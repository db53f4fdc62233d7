// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keys for matching text the way Turkish readers expect: I, ı, İ and i are
// one letter when case is ignored, and ç, ğ, ö, ş, ü (and other accented
// letters) match their bare forms when diacritics are ignored.
#include <QString>

#include <vector>

enum TTextFold : unsigned {
    FoldNone = 0,
    FoldCase = 1,       // case-insensitive, Turkish-aware
    FoldDiacritics = 2, // accents and cedillas dropped
};

// Text folded unit by unit, so that the result has Text's length and a match
// in it is the same range in Text.
QString FoldText(const QString& Text, unsigned Flags);

// Finds folded Needle in Haystack (folded the same way by the caller):
// every start position, non-overlapping.
std::vector<int> FindAll(const QString& FoldedHaystack, const QString& FoldedNeedle);
