// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The archive search's settings: the shared index on a server ("Sunucu"),
// and how the server's report paths are reached from this machine.
#include "archive/archivepathmap.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TArchiveSettingsDialog : public QDialog {
    Q_OBJECT
public:
    TArchiveSettingsDialog(QWidget* Parent, const QString& Server, const TArchivePathMap& Map);

    // What the user entered: a bare name stands for service=NAME; empty for
    // the user's own index.
    QString Server() const;
    TArchivePathMap PathMap() const;

    QLineEdit* ServerEdit = nullptr;
    QTableWidget* PathTable = nullptr;
    QPushButton* AddPathButton = nullptr;
    QPushButton* RemovePathButton = nullptr;
    QDialogButtonBox* Buttons = nullptr;
    QLabel* Problem = nullptr;

    void accept() override;

private:
    void AddRow(const QString& Server, const QString& Local);
};

// A server as the user may write it: a URI or service=NAME unchanged, a bare
// service name as service=NAME; empty when Text names no server.
QString ArchiveServerSetting(const QString& Text);
