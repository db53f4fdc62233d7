// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/thumbnailpanel.h"

#include "platform/emf/emfplayer.h"
#include "platform/metafile.h"
#include "printer/qrprinter.h"

#include <QItemSelectionModel>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class TThumbnailWorker {
public:
    TThumbnailWorker() : FThread([this] { Run(); }) {}
    ~TThumbnailWorker()
    {
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FStop = true;
            FJobs.clear();
        }
        FWake.notify_all();
        FThread.join();
    }
    void Post(std::function<void()> Job)
    {
        {
            std::lock_guard<std::mutex> lock(FMutex);
            FJobs.push_back(std::move(Job));
        }
        FWake.notify_all();
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FJobs.clear();
    }
    void WaitUntilIdle()
    {
        std::unique_lock<std::mutex> lock(FMutex);
        FIdle.wait(lock, [this] { return FJobs.empty() && !FBusy; });
    }

private:
    void Run()
    {
        std::unique_lock<std::mutex> lock(FMutex);
        for (;;) {
            FWake.wait(lock, [this] { return FStop || !FJobs.empty(); });
            if (FStop)
                return;
            std::function<void()> job = std::move(FJobs.front());
            FJobs.pop_front();
            FBusy = true;
            lock.unlock();
            job();
            lock.lock();
            FBusy = false;
            if (FJobs.empty())
                FIdle.notify_all();
        }
    }

    std::mutex FMutex;
    std::condition_variable FWake, FIdle;
    std::deque<std::function<void()>> FJobs;
    bool FBusy = false;
    bool FStop = false;
    std::thread FThread;
};

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
    FCache.clear();
    FPending.clear();
    // Every row has the shape of page 1, so the view never measures rows.
    FPlaceholder = QSize(ThumbnailWidth, ThumbnailWidth * 297 / 210);
    if (FPageCount > 0)
        if (std::unique_ptr<TMetafile> first = Document->GetPage(1); first && first->Width() > 0)
            FPlaceholder = QSize(ThumbnailWidth, std::max(1, ThumbnailWidth * first->Height() / first->Width()));
    endResetModel();
}

int TThumbnailModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : FPageCount;
}

QVariant TThumbnailModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid() || Index.row() >= FPageCount)
        return QVariant();
    const int page = Index.row() + 1;
    switch (Role) {
    case Qt::DisplayRole: return QString::number(page);
    case Qt::DecorationRole:
        if (const QImage* picture = FCache.object(page))
            return *picture;
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
    std::shared_ptr<TMetafile> metafile(FDocument->GetPage(Page).release());
    if (!metafile)
        return;
    FPending.insert(Page);
    QPointer<TThumbnailModel> self(const_cast<TThumbnailModel*>(this));
    const int generation = FGeneration;
    const QSize size = FPlaceholder;
    if (!FWorker)
        FWorker = std::make_unique<TThumbnailWorker>();
    FWorker->Post([self, generation, Page, metafile, size] {
        // Drawn straight at its size: scaling a larger picture would borrow
        // Qt's global thread pool as well.
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            StretchDraw(painter, QRectF(QPointF(0, 0), QSizeF(size)), *metafile);
        }
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, Page, picture] {
                if (self)
                    self->Delivered(generation, Page, picture);
            },
            Qt::QueuedConnection);
    });
}

void TThumbnailModel::Delivered(int Generation, int Page, const QImage& Picture)
{
    if (Generation != FGeneration)
        return;
    FPending.remove(Page);
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

void TThumbnailPanel::ShowCurrentPage(int Page)
{
    const QModelIndex at = FModel->index(Page - 1);
    if (!at.isValid())
        return;
    setCurrentIndex(at);
    scrollTo(at);
}
