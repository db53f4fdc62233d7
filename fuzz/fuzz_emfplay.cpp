// SPDX-License-Identifier: GPL-3.0-or-later
// A page's EMF bytes played onto an image, as the preview draws a page.
#include "fuzz_support.h"
#include "platform/emf/emfplayer.h"
#include "platform/errors.h"
#include "platform/metafile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TMetafile page;
    try {
        page.LoadFromBytes(std::vector<uint8_t>(Data, Data + Size));
    } catch (const Exception& e) {
        if (!*e.what())
            FuzzFinding("an error without a message");
        return 0;
    }
    // About a preview thumbnail: big enough for every path of the player,
    // small enough to keep the runs fast.
    QImage image(96, 128, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    PlayEmf(painter, QRectF(0, 0, 96, 128), page);
    return 0;
}
