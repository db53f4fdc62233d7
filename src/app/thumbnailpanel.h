// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The side panel of page thumbnails (F4), hidden at start. Rows are added a
// batch at a time as the view scrolls down (a report may hold millions of
// small pages), only rows the view shows are asked for, their pictures are
// drawn on a worker thread that drops what has scrolled out of sight, and
// they are kept in a cache of fixed size, so a report of any length scrolls
// smoothly and the panel's memory stays within its budget.
#include <QAbstractListModel>
#include <QCache>
#include <QImage>
#include <QListView>
#include <QSet>

#include <functional>
#include <memory>

class TQRPrinter;
class TThumbnailWorker;

class TThumbnailModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Bytes of pictures kept; the oldest go first.
    static constexpr int CacheBudget = 16 * 1024 * 1024;
    static constexpr int ThumbnailWidth = 96;
    // Rows added at a time; pictures waiting to be drawn at most.
    static constexpr int RowBatch = 256;
    static constexpr int MaxWaiting = 32;

    explicit TThumbnailModel(QObject* Parent = nullptr);
    ~TThumbnailModel() override;

    // Starts over for Document's pages (none for nullptr).
    void SetDocument(TQRPrinter* Document);
    int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    bool canFetchMore(const QModelIndex& Parent) const override;
    void fetchMore(const QModelIndex& Parent) override;
    // Adds rows up to Page (within the page count).
    void FetchUpTo(int Page);
    // Pages First..Last are on screen: the others are not drawn.
    void KeepOnly(int First, int Last);

    int CachedBytes() const { return FCache.totalCost(); }
    // Waits for pictures being drawn; for tests and shutdown.
    void WaitForWork();

private:
    void Request(int Page) const;
    void Delivered(int Generation, int Page, const QImage& Picture);

    TQRPrinter* FDocument = nullptr;
    int FPageCount = 0;
    int FRows = 0;
    int FGeneration = 0;
    QSize FPlaceholder;
    mutable QCache<int, QImage> FCache;
    mutable QSet<int> FPending;
    // One thread, joined on destruction: the page asked for last is drawn
    // first, and a page scrolled out of sight is dropped or cancelled.
    mutable std::unique_ptr<TThumbnailWorker> FWorker;
};

class TThumbnailPanel : public QListView {
    Q_OBJECT
public:
    explicit TThumbnailPanel(QWidget* Parent = nullptr);

    TThumbnailModel* Model() const { return FModel; }
    void SetDocument(TQRPrinter* Document);
    // Highlights Page and scrolls it into view.
    void ShowCurrentPage(int Page);

    // A click on a thumbnail.
    std::function<void(int Page)> OnPageClicked;

protected:
    void scrollContentsBy(int DX, int DY) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    // Tells the model which pages are on screen.
    void KeepVisible();

    TThumbnailModel* FModel = nullptr;
};
