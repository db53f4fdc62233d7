// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's association with report files: the four entries (the
// extension's type, the type's name, its icon, its open command) and the
// store that writes them as the desktop understands them.
#include <QString>

#include <vector>

struct TAssociationEntry {
    QString KeyPath; // as built, relative to the root
    QString Value;   // the key's default value
    // KeyPath without the leading backslash, which makes no difference.
    QString Key() const;
};

// In writing order: extension, type, icon, open command.
std::vector<TAssociationEntry> AssociationEntries(const QString& Extension, const QString& TypeName,
                                                  const QString& ProgramPath);

class TAssociationStore {
public:
    virtual ~TAssociationStore() = default;
    // False when the entry could not be written; the caller goes on.
    virtual bool Write(const TAssociationEntry& Entry) = 0;
    // Called once after the last entry.
    virtual void Close() {}
};

// Writes every entry; one that fails is skipped without a word.
void RegisterFileAssociation(TAssociationStore& Store, const QString& Extension, const QString& TypeName,
                             const QString& ProgramPath);

// The open command ("program" "%1") as a desktop entry's Exec line.
QString DesktopExecFromCommand(const QString& Command);
