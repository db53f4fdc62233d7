// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archivesettingsdialog.h"

#include "archive/pgarchiveindex.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

QString ArchiveServerSetting(const QString& Text)
{
    const QString server = Text.trimmed();
    if (server.isEmpty() || IsServerIndex(server.toStdString()))
        return server;
    // A service name has no spaces, slashes or '=': anything else is a typing slip.
    for (QChar c : server)
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.'))
            return {};
    return QStringLiteral("service=") + server;
}

TArchiveSettingsDialog::TArchiveSettingsDialog(QWidget* Parent, const QString& Server, const TArchivePathMap& Map)
    : QDialog(Parent)
{
    setWindowTitle(tr("Arşiv Ayarları"));
    ServerEdit = new QLineEdit(Server, this);
    ServerEdit->setPlaceholderText(tr("postgresql://kullanıcı@sunucu/veritabanı ya da service=AD"));
    ServerEdit->setClearButtonEnabled(true);
    auto* serverLabel = new QLabel(tr("&Sunucu:"), this);
    serverLabel->setBuddy(ServerEdit);
    auto* serverHint =
        new QLabel(tr("Boş bırakılırsa bu bilgisayardaki kendi dizininiz aranır. Sunucudaki dizin ortaktır; "
                      "onu çoğunlukla sunucudaki güncelleme hizmeti günceller."),
                   this);
    serverHint->setWordWrap(true);

    PathTable = new QTableWidget(0, 2, this);
    PathTable->setHorizontalHeaderLabels({tr("Sunucudaki yol"), tr("Bu bilgisayardaki yol")});
    PathTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    PathTable->verticalHeader()->hide();
    PathTable->setAccessibleName(tr("Yol eşlemeleri"));
    auto* pathLabel = new QLabel(tr("&Yol eşlemeleri (ör. /srv/raporlar → /mnt/raporlar):"), this);
    pathLabel->setBuddy(PathTable);
    AddPathButton = new QPushButton(tr("Eşleme &Ekle"), this);
    RemovePathButton = new QPushButton(tr("Eşlemeyi &Kaldır"), this);
    Problem = new QLabel(this);
    Problem->setWordWrap(true);
    Problem->hide();
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QPushButton* b : {AddPathButton, RemovePathButton})
        b->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(serverLabel, 0, 0);
    layout->addWidget(ServerEdit, 0, 1, 1, 2);
    layout->addWidget(serverHint, 1, 1, 1, 2);
    layout->addWidget(pathLabel, 2, 0, 1, 3);
    layout->addWidget(PathTable, 3, 0, 3, 2);
    layout->addWidget(AddPathButton, 3, 2);
    layout->addWidget(RemovePathButton, 4, 2);
    layout->addWidget(Problem, 6, 0, 1, 3);
    layout->addWidget(Buttons, 7, 0, 1, 3);
    layout->setRowStretch(5, 1);
    layout->setColumnStretch(1, 1);
    resize(620, 360);

    for (const TArchivePathMap::TPair& p : Map.Pairs())
        AddRow(p.Server, p.Local);
    connect(AddPathButton, &QPushButton::clicked, this, [this] {
        AddRow(QString(), QString());
        PathTable->setCurrentCell(PathTable->rowCount() - 1, 0);
        PathTable->editItem(PathTable->currentItem());
    });
    connect(RemovePathButton, &QPushButton::clicked, this, [this] {
        if (PathTable->currentRow() >= 0)
            PathTable->removeRow(PathTable->currentRow());
    });
    connect(PathTable, &QTableWidget::currentCellChanged, this,
            [this](int Row) { RemovePathButton->setEnabled(Row >= 0); });
    RemovePathButton->setEnabled(false);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TArchiveSettingsDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TArchiveSettingsDialog::reject);
}

void TArchiveSettingsDialog::AddRow(const QString& Server, const QString& Local)
{
    const int row = PathTable->rowCount();
    PathTable->insertRow(row);
    PathTable->setItem(row, 0, new QTableWidgetItem(Server));
    PathTable->setItem(row, 1, new QTableWidgetItem(Local));
}

QString TArchiveSettingsDialog::Server() const
{
    return ArchiveServerSetting(ServerEdit->text());
}

TArchivePathMap TArchiveSettingsDialog::PathMap() const
{
    std::vector<TArchivePathMap::TPair> pairs;
    for (int row = 0; row < PathTable->rowCount(); ++row) {
        const QTableWidgetItem* server = PathTable->item(row, 0);
        const QTableWidgetItem* local = PathTable->item(row, 1);
        pairs.push_back({server ? server->text() : QString(), local ? local->text() : QString()});
    }
    return TArchivePathMap(pairs);
}

void TArchiveSettingsDialog::accept()
{
    if (!ServerEdit->text().trimmed().isEmpty() && Server().isEmpty()) {
        Problem->setText(tr("«%1» bir sunucu değil: postgresql://… adresini ya da service=AD yazın.")
                             .arg(ServerEdit->text().trimmed()));
        Problem->show();
        ServerEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A pair half filled in is most likely unfinished, not meant to be dropped.
    for (int row = 0; row < PathTable->rowCount(); ++row) {
        const QTableWidgetItem* server = PathTable->item(row, 0);
        const QTableWidgetItem* local = PathTable->item(row, 1);
        const bool hasServer = server && !server->text().trimmed().isEmpty();
        const bool hasLocal = local && !local->text().trimmed().isEmpty();
        if (hasServer != hasLocal) {
            Problem->setText(tr("Eşleme %1 eksik: iki yolu da yazın ya da eşlemeyi kaldırın.").arg(row + 1));
            Problem->show();
            PathTable->setCurrentCell(row, hasServer ? 1 : 0);
            return;
        }
    }
    QDialog::accept();
}
