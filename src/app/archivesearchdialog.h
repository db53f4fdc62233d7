#pragma once
// "Arşivde Ara": a full-text search over the folders of an archive, through
// the index qrptool's "index" commands also use. The hits follow the query
// as it is typed; "Güncelle" brings the index up to date on a thread of its
// own, with progress, and can be stopped. A hit opens its report at its page.
#include <QDialog>
#include <QStringList>

#include <atomic>
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
class TArchiveIndex;

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

private:
    void AddFolder();
    void RemoveFolder();
    void SaveFolders();
    void StartOrStopUpdate();
    void UpdateDone(const QString& Summary);
    void RunQuery();
    void OpenHit(QTreeWidgetItem* Item);
    void ShowState();

    TOpenHit FOpenHit;
    QTimer* FTyping = nullptr;
    std::unique_ptr<TArchiveIndex> FIndex; // for queries; the update has its own
    std::thread FUpdate;
    std::atomic<bool> FStop{false};
};
