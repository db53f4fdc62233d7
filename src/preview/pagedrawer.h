// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws report pages into pictures on a thread of its own, so that a page
// that is slow to draw never holds up the window. Only the latest request
// counts: a newer one, or Cancel, stops the page being drawn at the player's
// next check, and its picture is thrown away.
#include "platform/emf/emfplayer.h"

#include <QImage>
#include <QRect>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class TMetafile;

struct TPageDrawRequest {
    std::shared_ptr<const TMetafile> Page;
    QSize Sheet;        // the whole sheet, in logical pixels
    QRect Part;         // the part of the sheet to draw
    qreal Ratio = 1;    // device pixels per logical pixel
    quint64 Ticket = 0; // the caller's, handed back with the picture
    TEmfTextMode Text = TEmfTextMode::Smooth;
};

struct TPageDrawing {
    quint64 Ticket = 0;
    QRect Part;
    QImage Picture;
    TEmfPlayResult Result;
};

class TPageDrawer {
public:
    using TDone = std::function<void(TPageDrawing)>;
    // For tests: Started runs on the drawing thread before a page is played
    // (with the flag that cancels it), Finished after, with every outcome.
    struct THooks {
        std::function<void(const std::atomic<bool>& Cancel)> Started;
        std::function<void(const TEmfPlayResult& Result)> Finished;
    };

    // Done runs on the drawing thread for every picture not cancelled.
    explicit TPageDrawer(TDone Done);
    // Cancels the page being drawn and waits for the thread to end.
    ~TPageDrawer();
    TPageDrawer(const TPageDrawer&) = delete;
    TPageDrawer& operator=(const TPageDrawer&) = delete;

    // Replaces any request not yet started and cancels the one under way.
    void Request(TPageDrawRequest Job);
    void Cancel();
    // Returns once nothing is waiting or being drawn.
    void WaitUntilIdle();
    void SetHooks(THooks Hooks);

private:
    void Run();
    static TPageDrawing Draw(const TPageDrawRequest& Job, const std::atomic<bool>& Cancel);

    TDone FDone;
    std::mutex FMutex;
    std::condition_variable FWake, FIdle;
    std::optional<TPageDrawRequest> FPending;
    std::atomic<bool> FCancel{false};
    bool FBusy = false;
    bool FStop = false;
    THooks FHooks;
    std::thread FThread; // started on the first request
};
