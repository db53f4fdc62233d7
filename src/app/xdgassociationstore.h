// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The association written the freedesktop way under $XDG_DATA_HOME: a
// shared-mime-info package for the extension, the icon, and a desktop
// entry that opens such files with the program.
#include "app/association.h"

#include <QString>

class TXdgAssociationStore : public TAssociationStore {
public:
    // DataHome empty: $XDG_DATA_HOME, else ~/.local/share.
    explicit TXdgAssociationStore(QString DataHome = QString(), bool RefreshDatabases = true);

    bool Write(const TAssociationEntry& Entry) override;
    // Writes what changed, then lets the desktop's databases catch up.
    void Close() override;

    QString DataHome() const { return FDataHome; }
    QString MimeType() const;
    QString MimePackagePath() const;
    QString DesktopEntryPath() const;
    QString IconPath() const;

private:
    QString IconName() const;
    QString MimePackage() const;
    QString DesktopEntry() const;

    QString FDataHome;
    bool FRefresh;
    QString FExtension, FTypeName, FComment, FIcon, FCommand;
};
