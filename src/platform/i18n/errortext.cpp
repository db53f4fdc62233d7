// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/i18n/errortext.h"

#include "platform/i18n/translations.h"

#include <QRegularExpression>
#include <QtGlobal>

#include <vector>

namespace {

const char Context[] = "Error";

// Each English message the lower layers write, with its variable parts as
// %1, %2. A part may itself be one of these messages.
const char* const Messages[] = {
    QT_TRANSLATE_NOOP("Error", "Stream read error"),
    QT_TRANSLATE_NOOP("Error", "Stream write error"),
    QT_TRANSLATE_NOOP("Error", "Unknown error"),
    QT_TRANSLATE_NOOP("Error", "Damaged report file \"%1\": %2"),
    QT_TRANSLATE_NOOP("Error", "Cannot read \"%1\": %2"),
    QT_TRANSLATE_NOOP("Error", "Cannot open file \"%1\". %2"),
    QT_TRANSLATE_NOOP("Error", "Cannot create file \"%1\". %2"),
    QT_TRANSLATE_NOOP("Error", "Cannot write file \"%1\". %2"),
    QT_TRANSLATE_NOOP("Error", "It is not a report file"),
    QT_TRANSLATE_NOOP("Error", "It is a directory"),
    QT_TRANSLATE_NOOP("Error", "It is not a regular file"),
    QT_TRANSLATE_NOOP("Error", "A private copy cannot be made: %1"),
    QT_TRANSLATE_NOOP("Error", "File is larger than 2 GiB: %1"),
    QT_TRANSLATE_NOOP("Error", "the file ends before all of its data could be read: it is damaged or cut short"),
    QT_TRANSLATE_NOOP("Error", "the report holds no pages"),
    QT_TRANSLATE_NOOP("Error", "Compressed page data ends before the page is complete"),
    QT_TRANSLATE_NOOP("Error", "the header gives a negative page count (%1)"),
    QT_TRANSLATE_NOOP("Error", "the header gives %1 pages but the file holds no page records"),
    QT_TRANSLATE_NOOP("Error", "the header gives %1 pages but the file holds only %2 page records"),
    QT_TRANSLATE_NOOP("Error", "the first page's signature lies inside the file header (header size %1)"),
    QT_TRANSLATE_NOOP("Error", "a page record would start at offset %1, outside the file's %2 bytes"),
    QT_TRANSLATE_NOOP("Error", "page record %1 at offset %2 gives its end as offset %3, outside the file's %4 bytes"),
    QT_TRANSLATE_NOOP("Error",
                      "page records out of sequence: record at offset %1 is numbered %2 where %3 was expected"),
    QT_TRANSLATE_NOOP("Error", "the back pointer in front of record %1 at offset %2 leads forward, to offset %3"),
    QT_TRANSLATE_NOOP("Error", "page record %1 at offset %2 ends at offset %3 but the next record starts at %4"),
    QT_TRANSLATE_NOOP("Error", "page %1: %2"),
    QT_TRANSLATE_NOOP("Error", "its expanded length of %1 bytes cannot come from %2 coded bytes"),
    QT_TRANSLATE_NOOP("Error", "its back pointer does not lead to the start of its record"),
    QT_TRANSLATE_NOOP("Error", "Page data is not an enhanced metafile (no EMF header record)"),
    QT_TRANSLATE_NOOP("Error", "Page data ends early: the metafile needs %1 bytes, only %2 remain"),
    QT_TRANSLATE_NOOP("Error", "Printer \"%1\" is not installed"),
    QT_TRANSLATE_NOOP("Error", "No printer is installed: there is nothing to print on"),
    QT_TRANSLATE_NOOP("Error", "Printing in progress"),
    QT_TRANSLATE_NOOP("Error", "Cannot start a print job on \"%1\""),
    QT_TRANSLATE_NOOP("Error", "Cannot start a new sheet on \"%1\""),
    QT_TRANSLATE_NOOP("Error", "The range holds no page of the report"),
    QT_TRANSLATE_NOOP("Error", "Cannot write \"%1\": %2"),
    QT_TRANSLATE_NOOP("Error", "the PDF could not be started"),
};

struct TPattern {
    const char* Context;
    const char* Source;
    QRegularExpression Match;
};

std::vector<TPattern> MakePatterns(const char* PatternContext, const std::vector<const char*>& Sources)
{
    std::vector<TPattern> list;
    // escape() has put a backslash in front of each %.
    static const QRegularExpression placeholder(QStringLiteral("\\\\%[1-9]"));
    for (const char* source : Sources) {
        QString pattern = QRegularExpression::escape(QString::fromUtf8(source));
        pattern.replace(placeholder, QStringLiteral("(.+?)"));
        list.push_back({PatternContext, source,
                        QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'),
                                           QRegularExpression::DotMatchesEverythingOption)});
    }
    return list;
}

const std::vector<TPattern>& Patterns()
{
    static const std::vector<TPattern> patterns = MakePatterns(
        Context, std::vector<const char*>(std::begin(Messages), std::end(Messages)));
    return patterns;
}

QString Translate(const QString& English, const std::vector<TPattern>& Own, int Depth)
{
    if (Depth > 4)
        return English;
    for (const std::vector<TPattern>* list : {&Own, &Patterns()}) {
        for (const TPattern& pattern : *list) {
            const QRegularExpressionMatch match = pattern.Match.match(English);
            if (!match.hasMatch())
                continue;
            QString text = TranslateText(pattern.Context, pattern.Source);
            // Filled in one pass, so that a file name holding "%2" stays as
            // it is. Only the last part may be a message of its own; the
            // others are names and numbers.
            QStringList parts;
            for (int i = 1; i <= match.lastCapturedIndex(); ++i)
                parts << (i == match.lastCapturedIndex() ? Translate(match.captured(i), Own, Depth + 1)
                                                         : match.captured(i));
            switch (parts.size()) {
            case 0: return text;
            case 1: return text.arg(parts[0]);
            case 2: return text.arg(parts[0], parts[1]);
            case 3: return text.arg(parts[0], parts[1], parts[2]);
            default: return text.arg(parts[0], parts[1], parts[2], parts[3]);
            }
        }
    }
    return English;
}

} // namespace

QString TranslatedErrorText(const QString& English)
{
    return Translate(English, {}, 0);
}

QString TranslatedErrorText(const QString& English, const char* OwnContext, const std::vector<const char*>& OwnMessages)
{
    return Translate(English, MakePatterns(OwnContext, OwnMessages), 0);
}
