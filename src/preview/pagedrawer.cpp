// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/pagedrawer.h"

#include "platform/metafile.h"
#include "preview/qrpreviewimage.h"

#include <QPainter>

TPageDrawer::TPageDrawer(TDone Done) : FDone(std::move(Done)) {}

TPageDrawer::~TPageDrawer()
{
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FStop = true;
        FPending.reset();
        FCancel = true;
    }
    FWake.notify_all();
    if (FThread.joinable())
        FThread.join();
}

void TPageDrawer::Request(TPageDrawRequest Job)
{
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FPending = std::move(Job);
        FCancel = true; // whatever is being drawn is out of date now
        if (!FThread.joinable())
            FThread = std::thread([this] { Run(); });
    }
    FWake.notify_all();
}

void TPageDrawer::Cancel()
{
    std::lock_guard<std::mutex> lock(FMutex);
    FPending.reset();
    FCancel = true;
}

void TPageDrawer::WaitUntilIdle()
{
    std::unique_lock<std::mutex> lock(FMutex);
    FIdle.wait(lock, [this] { return !FPending && !FBusy; });
}

void TPageDrawer::SetHooks(THooks Hooks)
{
    std::lock_guard<std::mutex> lock(FMutex);
    FHooks = std::move(Hooks);
}

void TPageDrawer::Run()
{
    std::unique_lock<std::mutex> lock(FMutex);
    for (;;) {
        FWake.wait(lock, [this] { return FStop || FPending; });
        if (FStop)
            return;
        const TPageDrawRequest job = std::move(*FPending);
        FPending.reset();
        FCancel = false;
        FBusy = true;
        const THooks hooks = FHooks;
        lock.unlock();
        if (hooks.Started)
            hooks.Started(FCancel);
        TPageDrawing drawing = Draw(job, FCancel);
        if (hooks.Finished)
            hooks.Finished(drawing.Result);
        if (!drawing.Result.Cancelled && FDone)
            FDone(std::move(drawing));
        lock.lock();
        FBusy = false;
        if (!FPending)
            FIdle.notify_all();
    }
}

TPageDrawing TPageDrawer::Draw(const TPageDrawRequest& Job, const std::atomic<bool>& Cancel)
{
    TPageDrawing drawing;
    drawing.Ticket = Job.Ticket;
    drawing.Part = Job.Part;
    drawing.Picture = QImage(Job.Part.size() * Job.Ratio, QImage::Format_ARGB32_Premultiplied);
    if (drawing.Picture.isNull())
        return drawing;
    drawing.Picture.setDevicePixelRatio(Job.Ratio);
    drawing.Picture.fill(Qt::transparent);
    TEmfPlayOptions options;
    options.Cancel = &Cancel;
    options.Text = Job.Text;
    QPainter painter(&drawing.Picture);
    drawing.Result = DrawPage(painter, QRect(-Job.Part.topLeft(), Job.Sheet), Job.Page.get(), options);
    return drawing;
}
