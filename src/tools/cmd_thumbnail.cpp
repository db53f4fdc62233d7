// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool thumbnail [-s SIZE] FILE OUT.png: page 1 of a report (or a bare
// EMF) as a file manager's thumbnail, called through qrpview.thumbnailer.
#include "platform/emf/emfplayer.h"
#include "platform/errors.h"
#include "platform/metafile.h"
#include "platform/streams.h"
#include "store/qrreportinfo.h"
#include "tools/command.h"
#include "tools/pageimage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int DefaultSize = 256;
constexpr int MaxSize = 2048; // freedesktop's largest size is 1024

int SizeArgument(const std::string& Text)
{
    if (Text.empty() || Text.size() > 5 || Text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{"-s wants a size in pixels, not \"" + Text + "\""};
    const int size = std::stoi(Text);
    if (size < 16 || size > MaxSize)
        throw UsageError{"-s must lie between 16 and " + std::to_string(MaxSize)};
    return size;
}

// Record type 1 and the signature: a bare EMF, not a report.
bool LooksLikeEmf(const std::string& FileName)
{
    char head[44] = {};
    // The file stream refuses a FIFO or device rather than block on it.
    TFileStream file(FileName, fmOpenRead);
    if (file.Read(head, sizeof head) != sizeof head)
        return false;
    return !std::memcmp(head, "\x01\x00\x00\x00", 4) && !std::memcmp(head + 40, " EMF", 4);
}

std::unique_ptr<TMetafile> FirstPage(const std::string& FileName)
{
    if (LooksLikeEmf(FileName)) {
        auto page = std::make_unique<TMetafile>();
        page->LoadFromFile(FileName);
        return page;
    }
    TQRPageList list;
    LoadReportFile(list, FileName);
    std::unique_ptr<TMetafile> page = list.GetPage(1);
    if (!page)
        throw Exception("\"" + FileName + "\" holds no page");
    return page;
}

// Longest side Size, the page's proportions kept.
QSize ThumbnailSize(const QSizeF& Page, int Size)
{
    const double longest = std::max(Page.width(), Page.height());
    const int w = std::max(1, int(std::lround(Size * Page.width() / longest)));
    const int h = std::max(1, int(std::lround(Size * Page.height() / longest)));
    return QSize(w, h);
}

int Run(const std::vector<std::string>& Args)
{
    int size = DefaultSize;
    TEmfTextMode text = TEmfTextMode::Smooth;
    std::vector<std::string> files;
    for (size_t i = 0; i < Args.size(); ++i) {
        if (Args[i] == "-s" || Args[i] == "--size") {
            if (i + 1 >= Args.size())
                throw UsageError{Args[i] + " needs a value"};
            size = SizeArgument(Args[++i]);
        } else if (Args[i] == "--gdi") {
            text = TEmfTextMode::Gdi;
        } else if (Args[i].size() > 1 && Args[i][0] == '-') {
            throw UsageError{"unknown option " + Args[i]};
        } else {
            files.push_back(Args[i]);
        }
    }
    if (files.size() != 2)
        throw UsageError{"expected an input file and an output file"};

    const std::unique_ptr<TMetafile> page = FirstPage(files[0]);
    TEmfPlayResult played;
    QImage image = PageImage(*page, ThumbnailSize(FrameSize(*page), size), &played, text);
    // Half a page would pass for the page: better the file manager's own icon.
    if (played.TooComplex)
        throw Exception("\"" + files[0] + "\": page 1 is too complex to draw in full");
    {
        // The frame sets the white page apart from a white background.
        QPainter painter(&image);
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(QRect(0, 0, image.width() - 1, image.height() - 1));
    }
    const QString target = QString::fromStdString(files[1]);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw EFCreateError("cannot write \"" + files[1] + "\"");
    // A thumbnail service (tumbler) makes the output file itself and reads
    // it back through the handle it keeps open: such a file is written in
    // place, since a rename would leave that handle on the empty file. A new
    // file is written aside and renamed, so a failure leaves no half file.
    if (QFileInfo(target).isFile()) {
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(png) != png.size() || !out.flush())
            throw EFCreateError("cannot write \"" + files[1] + "\"");
        return 0;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(png) != png.size() || !out.commit())
        throw EFCreateError("cannot write \"" + files[1] + "\"");
    return 0;
}

const ToolCommandRegistrar registrar(
    {"thumbnail", "thumbnail [-s SIZE] [--gdi] FILE OUT.png", true, Run,
     QT_TRANSLATE_NOOP(
         "qrptool", "page 1 of a report or an EMF as a PNG whose longest side is SIZE (default 256), for file managers;"
                    " --gdi: text in GDI's pixels")});

} // namespace
