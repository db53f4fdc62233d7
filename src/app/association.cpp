// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/association.h"

#include <QStringList>

QString TAssociationEntry::Key() const
{
    return KeyPath.startsWith(QLatin1Char('\\')) ? KeyPath.mid(1) : KeyPath;
}

std::vector<TAssociationEntry> AssociationEntries(const QString& Extension, const QString& TypeName,
                                                  const QString& ProgramPath)
{
    const QChar quote = QLatin1Char('"');
    return {
        {Extension, TypeName},
        {QLatin1String("\\") + TypeName, TypeName},
        {TypeName + QLatin1String("\\DefaultIcon"), ProgramPath + QLatin1String(",") + QString::number(1)},
        {QLatin1String("\\") + TypeName + QLatin1String("\\Shell\\Open\\Command"),
         quote + ProgramPath + quote + QLatin1Char(' ') + quote + QLatin1String("%1") + quote},
    };
}

void RegisterFileAssociation(TAssociationStore& Store, const QString& Extension, const QString& TypeName,
                             const QString& ProgramPath)
{
    for (const TAssociationEntry& entry : AssociationEntries(Extension, TypeName, ProgramPath))
        Store.Write(entry);
    Store.Close();
}

namespace {

// Splits a command line on blanks, honouring double quotes.
QStringList SplitCommand(const QString& Command)
{
    QStringList words;
    QString word;
    bool quoted = false, any = false;
    for (QChar c : Command) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c == QLatin1Char(' ') && !quoted) {
            if (any)
                words << word;
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any)
        words << word;
    return words;
}

// Quoting of the desktop entry format: reserved characters need quotes,
// and inside them " ` $ \ take a backslash; a literal % is doubled.
QString QuoteExecArgument(const QString& Word)
{
    QString text = Word;
    text.replace(QLatin1Char('%'), QLatin1String("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = text.isEmpty();
    for (QChar c : text)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return text;
    QString quoted;
    for (QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString DesktopExecFromCommand(const QString& Command)
{
    QStringList out;
    for (const QString& word : SplitCommand(Command))
        out << (word == QLatin1String("%1") ? QStringLiteral("%f") : QuoteExecArgument(word));
    // The file format's own string escape comes on top of the quoting.
    return out.join(QLatin1Char(' '))
        .replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
}
