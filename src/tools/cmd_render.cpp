// SPDX-License-Identifier: GPL-3.0-or-later
// qrptool render / render-emf: pages to PNG, PDF or SVG through the EMF player.
#include "platform/emf/emfplayer.h"
#include "platform/errors.h"
#include "platform/metafile.h"
#include "store/orderedpages.h"
#include "store/qrpagelist.h"
#include "store/qrreportinfo.h"
#include "tools/command.h"
#include "tools/pageimage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct RenderOptions {
    int Dpi = 0;   // 0: not given
    int Width = 0; // 0: not given
    QString Format;
    std::string Output;
    int FirstPage = 1, LastPage = 0; // 0: to the end
    bool Times = false;
    int Jobs = int(std::max(1u, std::thread::hardware_concurrency()));
    TEmfTextMode Text = TEmfTextMode::Smooth; // --gdi: GDI's own text pixels
    std::vector<std::string> Inputs;
};

int PositiveArgument(const std::string& Name, const std::string& Text, int Max)
{
    if (Text.empty() || Text.size() > 9 || Text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{Name + " wants a positive number, not \"" + Text + "\""};
    const int v = std::stoi(Text);
    if (v < 1 || v > Max)
        throw UsageError{Name + " must lie between 1 and " + std::to_string(Max)};
    return v;
}

void ParsePages(const std::string& Text, RenderOptions& O)
{
    const size_t dash = Text.find('-');
    if (dash == std::string::npos) {
        O.FirstPage = O.LastPage = PositiveArgument("--pages", Text, INT32_MAX - 1);
        return;
    }
    const std::string a = Text.substr(0, dash), b = Text.substr(dash + 1);
    O.FirstPage = a.empty() ? 1 : PositiveArgument("--pages", a, INT32_MAX - 1);
    O.LastPage = b.empty() ? 0 : PositiveArgument("--pages", b, INT32_MAX - 1);
    if (O.LastPage && O.LastPage < O.FirstPage)
        throw UsageError{"--pages " + Text + " is an empty range"};
}

RenderOptions ParseOptions(const std::vector<std::string>& Args, bool Report)
{
    RenderOptions o;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= Args.size())
                throw UsageError{a + " needs a value"};
            return Args[++i];
        };
        if (a == "--dpi")
            o.Dpi = PositiveArgument(a, value(), 4800);
        else if (a == "--width")
            o.Width = PositiveArgument(a, value(), 32768);
        else if (a == "--format")
            o.Format = QString::fromStdString(value()).toLower();
        else if (a == "-o")
            o.Output = value();
        else if (a == "--pages" && Report)
            ParsePages(value(), o);
        else if (a == "--jobs" && Report)
            o.Jobs = CountOption("--jobs", value(), 999);
        else if (a == "--times")
            o.Times = true;
        else if (a == "--gdi")
            o.Text = TEmfTextMode::Gdi;
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError{"unknown option " + a};
        else
            o.Inputs.push_back(a);
    }
    if (o.Dpi && o.Width)
        throw UsageError{"give either --dpi or --width"};
    if (o.Output.empty())
        throw UsageError{"-o is missing"};
    if (o.Inputs.empty() || (Report && o.Inputs.size() != 1))
        throw UsageError{Report ? "expected one report file" : "expected EMF files"};
    if (o.Format.isEmpty()) {
        const QString suffix = QFileInfo(QString::fromStdString(o.Output)).suffix().toLower();
        o.Format = (Report && (suffix == "pdf" || suffix == "svg")) ? suffix : QStringLiteral("png");
    }
    if (o.Format != "png" && o.Format != "pdf" && o.Format != "svg")
        throw UsageError{"unknown format \"" + o.Format.toStdString() + "\""};
    return o;
}

QSize PixelSize(const TMetafile& Page, const RenderOptions& O)
{
    const QSizeF f = FrameSize(Page);
    double w, h;
    if (O.Width) {
        w = O.Width;
        h = std::round(O.Width * f.height() / f.width());
    } else {
        const int dpi = O.Dpi ? O.Dpi : 96;
        w = std::round(f.width() / 2540.0 * dpi);
        h = std::round(f.height() / 2540.0 * dpi);
    }
    w = std::clamp(w, 1.0, 32768.0);
    h = std::clamp(h, 1.0, 32768.0);
    if (w * h > double(1 << 28))
        throw Exception("the picture would be too large (" + std::to_string(int(w)) + " x " + std::to_string(int(h)) +
                        " pixels)");
    return QSize(int(w), int(h));
}

// Each returns false when the page was too complex to draw in full; what
// was drawn is written all the same.
bool RenderPng(const TMetafile& Page, const RenderOptions& O, const QString& File)
{
    TEmfPlayResult played;
    if (!PageImage(Page, PixelSize(Page, O), &played, O.Text).save(File, "PNG"))
        throw EFCreateError("cannot write \"" + File.toStdString() + "\"");
    return !played.TooComplex;
}

bool RenderSvg(const TMetafile& Page, const RenderOptions& O, const QString& File)
{
    const QSize size = PixelSize(Page, O);
    QSvgGenerator svg;
    svg.setFileName(File);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(O.Dpi ? O.Dpi : 96);
    QPainter painter;
    if (!painter.begin(&svg))
        throw EFCreateError("cannot write \"" + File.toStdString() + "\"");
    const TEmfPlayResult played = StretchDraw(painter, QRectF(QPointF(0, 0), QSizeF(size)), Page);
    painter.end();
    return !played.TooComplex;
}

// PDF pages keep the frame's physical size; the resolution only sets the
// width of one-pixel lines.
class PdfDocument {
public:
    PdfDocument(const QString& File, int Dpi) : FWriter(File), FFile(File)
    {
        FWriter.setResolution(Dpi ? Dpi : 300);
        FWriter.setPageMargins(QMarginsF(0, 0, 0, 0));
        FWriter.setCreator(QStringLiteral("qrptool"));
    }
    bool AddPage(const TMetafile& Page)
    {
        const QSizeF f = FrameSize(Page);
        FWriter.setPageSize(QPageSize(QSizeF(f.width() / 100.0, f.height() / 100.0), QPageSize::Millimeter));
        if (FPainter.isActive())
            FWriter.newPage();
        else if (!FPainter.begin(&FWriter))
            throw EFCreateError("cannot write \"" + FFile.toStdString() + "\"");
        return !StretchDraw(FPainter, QRectF(0, 0, FWriter.width(), FWriter.height()), Page).TooComplex;
    }
    void Finish()
    {
        if (FPainter.isActive())
            FPainter.end();
    }

private:
    QPdfWriter FWriter;
    QString FFile;
    QPainter FPainter;
};

bool RenderOne(const TMetafile& Page, const RenderOptions& O, const QString& File)
{
    if (O.Format == "png")
        return RenderPng(Page, O, File);
    if (O.Format == "svg")
        return RenderSvg(Page, O, File);
    PdfDocument pdf(File, O.Dpi);
    const bool full = pdf.AddPage(Page);
    pdf.Finish();
    return full;
}

// A page drawn in part is kept, so that the rest of a run is not lost for
// it, but the run fails.
void TooComplex(const char* Command, const std::string& File, int Page)
{
    std::fprintf(stderr, "qrptool %s: \"%s\": page %d is too complex to draw in full (written as far as it got)\n",
                 Command, File.c_str(), Page);
}

int RunRenderEmf(const std::vector<std::string>& Args)
{
    const RenderOptions o = ParseOptions(Args, false);
    const QString outDir = QString::fromStdString(o.Output);
    if (!QDir().mkpath(outDir))
        throw EFCreateError("cannot create the folder \"" + o.Output + "\"");
    int failures = 0;
    for (const std::string& input : o.Inputs) {
        const QString name = QFileInfo(QString::fromStdString(input)).completeBaseName();
        const QString out = QDir(outDir).filePath(name + "." + o.Format);
        try {
            TMetafile page;
            page.LoadFromFile(input);
            QElapsedTimer timer;
            timer.start();
            if (!RenderOne(page, o, out)) {
                TooComplex("render-emf", input, 1);
                ++failures;
            }
            if (o.Times)
                std::printf("%s\t%.3f\n", name.toUtf8().constData(), timer.nsecsElapsed() / 1e6);
        } catch (const std::exception& e) {
            QFile::remove(out);
            std::fprintf(stderr, "qrptool render-emf: %s: %s\n", input.c_str(), e.what());
            ++failures;
        }
    }
    return failures ? 1 : 0;
}

int RunRender(const std::vector<std::string>& Args)
{
    const RenderOptions o = ParseOptions(Args, true);
    auto list = std::make_unique<TQRPageList>();
    LoadReportFile(*list, o.Inputs[0]);
    const int count = list->PageCount();
    const int last = o.LastPage ? o.LastPage : count;
    if (count < 1 || o.FirstPage > count || last > count)
        throw Exception("the report has " + std::to_string(count) + " pages");
    const QString output = QString::fromStdString(o.Output);
    std::vector<QString> written;
    int partial = 0;
    auto drawn = [&](bool Full, int Page) {
        if (!Full) {
            TooComplex("render", o.Inputs[0], Page);
            ++partial;
        }
    };
    // Pages are decoded on Jobs threads and drawn here, in page order.
    const auto forEachPage = [&](const std::function<void(int, const TMetafile&)>& Draw) {
        using Page = std::unique_ptr<TMetafile>;
        ForEachPageInOrder<TQRPageList, Page>(
            o.FirstPage, last, o.Jobs, std::move(list),
            [&] {
                auto reader = std::make_unique<TQRPageList>();
                LoadReportFile(*reader, o.Inputs[0]);
                return reader;
            },
            [](TQRPageList& Reader, int N) {
                Page page = Reader.GetPage(N);
                if (!page)
                    throw EReadError("page " + std::to_string(N) + " is missing");
                return page;
            },
            [&](int N, Page& Decoded) {
                Draw(N, *Decoded);
                Decoded.reset();
                return true;
            });
    };
    try {
        if (o.Format == "pdf") {
            PdfDocument pdf(output, o.Dpi);
            written.push_back(output);
            forEachPage([&](int N, const TMetafile& Page) { drawn(pdf.AddPage(Page), N); });
            pdf.Finish();
            return partial ? 1 : 0;
        }
        // One file per page: OUT-N.png, the number padded to the page count's width.
        QFileInfo info(output);
        const QString suffix = "." + o.Format;
        QString base = output;
        if (base.endsWith(suffix, Qt::CaseInsensitive))
            base.chop(suffix.size());
        const int digits = int(QString::number(count).size());
        forEachPage([&](int N, const TMetafile& Page) {
            const QString file = base + "-" + QString::number(N).rightJustified(digits, '0') + suffix;
            written.push_back(file);
            drawn(RenderOne(Page, o, file), N);
        });
    } catch (...) {
        for (const QString& f : written)
            QFile::remove(f);
        throw;
    }
    return partial ? 1 : 0;
}

const ToolCommandRegistrar renderRegistrar(
    {"render", "render FILE [--pages A-B] [--dpi N | --width PX] [--format png|pdf|svg] [--jobs N] [--gdi] -o OUT",
     true, RunRender,
     QT_TRANSLATE_NOOP("qrptool", "pages to PNG or SVG (one file per page, OUT-N.png) or to one PDF document; pages "
                                  "decoded on N threads; --gdi: text in GDI's pixels")});
const ToolCommandRegistrar renderEmfRegistrar(
    {"render-emf", "render-emf [--dpi N | --width PX] [--format png|pdf|svg] [--times] [--gdi] -o OUTDIR IN.emf...",
     true, RunRenderEmf,
     QT_TRANSLATE_NOOP("qrptool",
                       "EMF files to OUTDIR/NAME.png each; goes on after a failing file and exits 1 at the end")});

} // namespace
