// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page picture shared by `render` and `thumbnail`: a page's physical
// size and its playback onto a white image.
#include <QImage>
#include <QSize>
#include <QSizeF>

#include "platform/emf/emfplayer.h"

class TMetafile;

// Frame size in 0.01 mm, falling back to the bounds when the frame is empty.
QSizeF FrameSize(const TMetafile& Page);

// The page played back onto a white image of Size pixels; Result, when
// given, tells whether the page was drawn in full.
QImage PageImage(const TMetafile& Page, const QSize& Size, TEmfPlayResult* Result = nullptr,
                 TEmfTextMode Text = TEmfTextMode::Smooth);
