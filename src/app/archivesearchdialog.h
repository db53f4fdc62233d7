// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Arşivde Ara": a full-text search over the folders of an archive, through
// the index qrptool's "index" commands also use. The hits follow the query
// as it is typed; queries run on a thread of their own, and typing on or
// closing the window cancels the one running. "Güncelle" brings the index up
// to date on another thread, with progress, and can be stopped. A hit opens
// its report at its page. With a server set ("Ayarlar"), the office's shared
// index is searched instead, "Güncelle" shows only to a role that may write
// it, and the server's report paths are carried over to this machine's.
#include "app/archivesettingsdialog.h"
#include "archive/archivepathmap.h"
#include "archive/archivequerythread.h"

#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

// A query, or the connection to a server, that has not answered by then is
// given up, with a message: the window never waits on a server that hangs.
const int ArchiveAnswerSeconds = 20;

class TArchiveSearchDialog : public QDialog {
    Q_OBJECT
public:
    // Phrases: what to highlight on the page, as the find bar takes them.
    using TOpenHit = std::function<void(const QString& File, int Page, const QStringList& Phrases)>;

    TArchiveSearchDialog(QWidget* Parent, TOpenHit OpenHit);
    ~TArchiveSearchDialog() override;

    // In the user's data folder: the index is rebuilt from the reports.
    static QString IndexFile();
    bool Updating() const { return FUpdate.joinable(); }
    // A query was started and its hits are not shown yet.
    bool Querying() const { return FShownTicket != FTicket; }
    bool OnServer() const { return !FServer.isEmpty(); }
    // The index searched: the server, or the user's own file.
    QString Database() const;
    // Takes the settings "Ayarlar" gives, and keeps them.
    void ApplySettings(const QString& Server, const TArchivePathMap& PathMap);
    // The marks of the snippet in Row, as its column shows them.
    QList<QPoint> HitMarks(int Row) const;
    // The settings window while it is open.
    TArchiveSettingsDialog* SettingsWindow() const { return FSettings; }

    QLineEdit* QueryEdit = nullptr;
    QListWidget* FolderList = nullptr;
    QPushButton* AddFolderButton = nullptr;
    QPushButton* RemoveFolderButton = nullptr;
    QPushButton* UpdateButton = nullptr;
    QPushButton* SettingsButton = nullptr;
    QLabel* ServerLabel = nullptr;
    QLabel* FoldersLabel = nullptr;
    QProgressBar* Progress = nullptr;
    QTreeWidget* Hits = nullptr;
    QLabel* Status = nullptr;

signals:
    void UpdateFinished();

protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;

private:
    void AddFolder();
    void RemoveFolder();
    void SaveFolders();
    void StartOrStopUpdate();
    void UpdateDone(const QString& Summary);
    void RunQuery();
    void ShowHits(const TArchiveQueryThread::TResult& Result);
    void FocusFirstHit();
    void OpenHit(QTreeWidgetItem* Item);
    void ShowState();
    void Connect();
    void ShowServer();
    void ShowError(const TArchiveQueryThread::TResult& Result);
    QString ServerTrouble(const QString& Reason, bool Connecting) const;
    void GiveUp();
    void OpenSettings();

    TOpenHit FOpenHit;
    QTimer* FTyping = nullptr;
    QTimer* FAnswer = nullptr; // runs while a query or connection is awaited
    std::unique_ptr<TArchiveQueryThread> FQueries; // read-only; the update has its own connection
    uint64_t FTicket = 0, FShownTicket = 0;        // of the query started last, and shown
    QString FShownQuery;                           // the text whose hits are shown
    QStringList FQueryPhrases, FQueryFolders;      // of the query running
    QString FQueryPattern;                         // FQueryPhrases as TTextQuery takes them
    QString FServer;                               // empty: the user's own index
    TArchivePathMap FPathMap;
    std::optional<bool> FCanWrite;                 // the server's answer, once connected
    QPointer<TArchiveSettingsDialog> FSettings;
    QString FQueryText, FSummary;                  // FSummary: of the update just ended
    bool FFocusHits = false;                       // Enter was pressed before the hits came
    std::thread FUpdate;
    std::atomic<bool> FStop{false};
};
