// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Arşivde Ara": a full-text search over the folders of an archive, through
// the index qrptool's "index" commands also use. The hits follow the query
// as it is typed; queries run on a thread of their own, and typing on or
// closing the window cancels the one running. "Güncelle" brings the index up
// to date on another thread, with progress, and can be stopped. A hit opens
// its report at its page.
#include "archive/archivequerythread.h"

#include <QDialog>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class TArchiveSearchDialog : public QDialog {
    Q_OBJECT
public:
    // Words: what to highlight on the page, as the find bar takes them.
    using TOpenHit = std::function<void(const QString& File, int Page, const QStringList& Words)>;

    TArchiveSearchDialog(QWidget* Parent, TOpenHit OpenHit);
    ~TArchiveSearchDialog() override;

    // In the user's data folder: the index is rebuilt from the reports.
    static QString IndexFile();
    bool Updating() const { return FUpdate.joinable(); }
    // A query was started and its hits are not shown yet.
    bool Querying() const { return FShownTicket != FTicket; }

    QLineEdit* QueryEdit = nullptr;
    QListWidget* FolderList = nullptr;
    QPushButton* AddFolderButton = nullptr;
    QPushButton* RemoveFolderButton = nullptr;
    QPushButton* UpdateButton = nullptr;
    QProgressBar* Progress = nullptr;
    QTreeWidget* Hits = nullptr;
    QLabel* Status = nullptr;

signals:
    void UpdateFinished();

protected:
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

    TOpenHit FOpenHit;
    QTimer* FTyping = nullptr;
    std::unique_ptr<TArchiveQueryThread> FQueries; // read-only; the update has its own connection
    uint64_t FTicket = 0, FShownTicket = 0;        // of the query started last, and shown
    QString FShownQuery;                           // the text whose hits are shown
    QStringList FQueryWords, FQueryFolders;        // of the query running
    QString FQueryText, FSummary;                  // FSummary: of the update just ended
    bool FFocusHits = false;                       // Enter was pressed before the hits came
    std::thread FUpdate;
    std::atomic<bool> FStop{false};
};
