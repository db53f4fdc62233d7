// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lower layers raise their errors in English, without Qt; the message
// shown to the user is put into the user's language here, sentence by
// sentence, keeping the file names and numbers the English text carries.
#include <QString>

#include <vector>

// Under C or English, or for a text no catalogue entry matches, returns
// English unchanged.
QString TranslatedErrorText(const QString& English);

// As above, trying first OwnMessages (marked in the catalogue's OwnContext):
// a program's own messages, around which the lower layers' may stand.
QString TranslatedErrorText(const QString& English, const char* OwnContext,
                            const std::vector<const char*>& OwnMessages);
