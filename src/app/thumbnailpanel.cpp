// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/thumbnailpanel.h"

#include "platform/emf/emfplayer.h"
#include "platform/metafile.h"
#include "printer/qrprinter.h"

#include <QItemSelectionModel>
#include <QPainter>
#include <QPointer>

#include <QScrollBar>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

class TThumbnailWorker {
public:
    // Draws one page; Cancel stops it between records.
    using TJob = std::function<void(const std::atomic<bool>& Cancel)>;
    // Called on the GUI thread's side when a waiting page is dropped.
    using TDropped = std::function<void(int Page)>;

    TThumbnailWorker() : FThread([this] { Run(); }) {}
    ~TThumbnailWorker()
    {
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FStop = true;
            FJobs.clear();
            FCancel = true;
        }
        FWake.notify_all();
        FThread.join();
    }
    // The newest first; beyond Max waiting, the oldest are dropped and
    // their pages returned.
    std::vector<int> Post(int Page, TJob Job, size_t Max)
    {
        std::vector<int> dropped;
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FJobs.push_front({Page, std::move(Job)});
            while (FJobs.size() > Max) {
                dropped.push_back(FJobs.back().Page);
                FJobs.pop_back();
            }
        }
        FWake.notify_all();
        return dropped;
    }
    // Drops the waiting pages outside First..Last and cancels the page being
    // drawn when it is one of them; returns the pages dropped.
    std::vector<int> KeepOnly(int First, int Last)
    {
        std::vector<int> dropped;
        std::lock_guard<std::mutex> lock(FMutex);
        for (auto it = FJobs.begin(); it != FJobs.end();) {
            if (it->Page < First || it->Page > Last) {
                dropped.push_back(it->Page);
                it = FJobs.erase(it);
            } else {
                ++it;
            }
        }
        if (FBusyPage > 0 && (FBusyPage < First || FBusyPage > Last))
            FCancel = true;
        return dropped;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FJobs.clear();
        FCancel = true;
    }
    void WaitUntilIdle()
    {
        std::unique_lock<std::mutex> lock(FMutex);
        FIdle.wait(lock, [this] { return FJobs.empty() && FBusyPage == 0; });
    }

private:
    struct TEntry {
        int Page;
        TJob Job;
    };

    void Run()
    {
        std::unique_lock<std::mutex> lock(FMutex);
        for (;;) {
            FWake.wait(lock, [this] { return FStop || !FJobs.empty(); });
            if (FStop)
                return;
            TEntry entry = std::move(FJobs.front());
            FJobs.pop_front();
            FBusyPage = entry.Page;
            FCancel = false;
            lock.unlock();
            entry.Job(FCancel);
            entry = TEntry();
            lock.lock();
            FBusyPage = 0;
            if (FJobs.empty())
                FIdle.notify_all();
        }
    }

    std::mutex FMutex;
    std::condition_variable FWake, FIdle;
    std::deque<TEntry> FJobs;
    int FBusyPage = 0;
    std::atomic<bool> FCancel{false};
    bool FStop = false;
    std::thread FThread;
};

namespace {

// The header's page count is a claim: a page behind a damaged or missing
// record cannot be read, and has no picture (the preview says why).
std::unique_ptr<TMetafile> ReadPage(TQRPrinter* Document, int Page)
{
    try {
        return Document->GetPage(Page);
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace

TThumbnailModel::TThumbnailModel(QObject* Parent) : QAbstractListModel(Parent)
{
    FCache.setMaxCost(CacheBudget);
}

// The worker is joined before the model's QObject part goes.
TThumbnailModel::~TThumbnailModel()
{
    FWorker.reset();
}

void TThumbnailModel::WaitForWork()
{
    if (FWorker)
        FWorker->WaitUntilIdle();
}

void TThumbnailModel::SetDocument(TQRPrinter* Document)
{
    beginResetModel();
    if (FWorker)
        FWorker->Clear();
    ++FGeneration;
    FDocument = Document;
    FPageCount = Document ? Document->PageCount() : 0;
    FRows = std::min(FPageCount, RowBatch);
    FCache.clear();
    FPending.clear();
    // Every row has the shape of page 1, so the view never measures rows.
    FPlaceholder = QSize(ThumbnailWidth, ThumbnailWidth * 297 / 210);
    if (FPageCount > 0)
        if (std::unique_ptr<TMetafile> first = ReadPage(Document, 1); first && first->Width() > 0)
            FPlaceholder = QSize(ThumbnailWidth, std::max(1, ThumbnailWidth * first->Height() / first->Width()));
    endResetModel();
}

int TThumbnailModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : FRows;
}

bool TThumbnailModel::canFetchMore(const QModelIndex& Parent) const
{
    return !Parent.isValid() && FRows < FPageCount;
}

void TThumbnailModel::fetchMore(const QModelIndex& Parent)
{
    if (canFetchMore(Parent))
        FetchUpTo(FRows + RowBatch);
}

void TThumbnailModel::FetchUpTo(int Page)
{
    const int rows = std::min(FPageCount, std::max(FRows, Page));
    if (rows <= FRows)
        return;
    beginInsertRows(QModelIndex(), FRows, rows - 1);
    FRows = rows;
    endInsertRows();
}

void TThumbnailModel::KeepOnly(int First, int Last)
{
    if (!FWorker)
        return;
    for (int page : FWorker->KeepOnly(First, Last))
        FPending.remove(page);
}

QVariant TThumbnailModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid() || Index.row() >= FRows)
        return QVariant();
    const int page = Index.row() + 1;
    switch (Role) {
    case Qt::DisplayRole: return QString::number(page);
    case Qt::DecorationRole:
        if (const QImage* picture = FCache.object(page))
            return picture->isNull() ? QVariant() : QVariant(*picture);
        Request(page);
        return QVariant();
    case Qt::SizeHintRole: return FPlaceholder + QSize(16, 24);
    default: return QVariant();
    }
}

void TThumbnailModel::Request(int Page) const
{
    if (!FDocument || FPending.contains(Page))
        return;
    // The page's bytes are fetched here (the page list is quick at that);
    // the drawing, which is slow, happens on the worker.
    std::shared_ptr<TMetafile> metafile(ReadPage(FDocument, Page).release());
    if (!metafile) {
        // Kept as "no picture", so that it is not read again at every paint.
        FCache.insert(Page, new QImage(), 1);
        return;
    }
    FPending.insert(Page);
    QPointer<TThumbnailModel> self(const_cast<TThumbnailModel*>(this));
    const int generation = FGeneration;
    const QSize size = FPlaceholder;
    if (!FWorker)
        FWorker = std::make_unique<TThumbnailWorker>();
    const auto job = [self, generation, Page, metafile, size](const std::atomic<bool>& Cancel) {
        // Drawn straight at its size: scaling a larger picture would borrow
        // Qt's global thread pool as well.
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        TEmfPlayOptions options;
        options.Cancel = &Cancel;
        bool cancelled;
        {
            QPainter painter(&picture);
            cancelled = PlayEmf(painter, QRectF(QPointF(0, 0), QSizeF(size)), *metafile, options).Cancelled;
        }
        // Not while the painter is still on it: asked for again when back in sight.
        if (cancelled)
            picture = QImage();
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, Page, picture] {
                if (self)
                    self->Delivered(generation, Page, picture);
            },
            Qt::QueuedConnection);
    };
    for (int dropped : FWorker->Post(Page, job, MaxWaiting))
        FPending.remove(dropped);
}

void TThumbnailModel::Delivered(int Generation, int Page, const QImage& Picture)
{
    if (Generation != FGeneration)
        return;
    FPending.remove(Page);
    if (Picture.isNull())
        return;
    const qint64 bytes = Picture.sizeInBytes();
    FCache.insert(Page, new QImage(Picture), static_cast<int>(std::min<qint64>(bytes, CacheBudget)));
    const QModelIndex at = index(Page - 1);
    emit dataChanged(at, at, {Qt::DecorationRole});
}

TThumbnailPanel::TThumbnailPanel(QWidget* Parent) : QListView(Parent)
{
    FModel = new TThumbnailModel(this);
    setModel(FModel);
    setUniformItemSizes(true);
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(TThumbnailModel::ThumbnailWidth, TThumbnailModel::ThumbnailWidth * 2));
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFixedWidth(TThumbnailModel::ThumbnailWidth + 48);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& Index) {
        if (OnPageClicked)
            OnPageClicked(Index.row() + 1);
    });
    // Arrow keys, Page Up/Down and Home/End in the panel turn pages too.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& Index) {
        if (Index.isValid() && OnPageClicked)
            OnPageClicked(Index.row() + 1);
    });
}

void TThumbnailPanel::SetDocument(TQRPrinter* Document)
{
    FModel->SetDocument(Document);
}

void TThumbnailPanel::scrollContentsBy(int DX, int DY)
{
    QListView::scrollContentsBy(DX, DY);
    KeepVisible();
}

void TThumbnailPanel::resizeEvent(QResizeEvent* Event)
{
    QListView::resizeEvent(Event);
    KeepVisible();
}

void TThumbnailPanel::KeepVisible()
{
    const QRect view = viewport()->rect();
    const QModelIndex first = indexAt(view.topLeft());
    if (!first.isValid())
        return;
    QModelIndex last = indexAt(QPoint(view.left(), view.bottom()));
    if (!last.isValid())
        last = FModel->index(FModel->rowCount() - 1);
    FModel->KeepOnly(first.row() + 1, last.row() + 1);
}

void TThumbnailPanel::ShowCurrentPage(int Page)
{
    FModel->FetchUpTo(Page);
    const QModelIndex at = FModel->index(Page - 1);
    if (!at.isValid())
        return;
    setCurrentIndex(at);
    scrollTo(at);
}
