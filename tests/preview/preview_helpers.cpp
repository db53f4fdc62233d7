#include "preview_helpers.h"

#include "platform/metafile.h"
#include "printer/qrprinter.h"
#include "store/qrpagelist.h"

#include <QTemporaryDir>

#include <cstring>

namespace {

std::vector<uint8_t> BlankPageBytes(int Width, int Height)
{
    // A reference device of 1 pixel per millimetre keeps the sizes exact.
    std::vector<uint8_t> b(EmfHeaderBytes + 20, 0);
    auto put = [&b](size_t At, uint32_t V) { std::memcpy(&b[At], &V, 4); };
    put(0, 1); // EMR_HEADER
    put(4, EmfHeaderBytes);
    put(16, static_cast<uint32_t>(Width - 1));
    put(20, static_cast<uint32_t>(Height - 1));
    put(32, static_cast<uint32_t>(Width * 100));
    put(36, static_cast<uint32_t>(Height * 100));
    put(40, ENHMETA_SIGNATURE);
    put(44, 0x10000);
    put(48, static_cast<uint32_t>(b.size()));
    put(52, 2);
    put(56, 1);
    put(72, 1000);
    put(76, 1000);
    put(80, 1000);
    put(84, 1000);
    put(100, 1000000);
    put(104, 1000000);
    put(EmfHeaderBytes, 14); // EMR_EOF
    put(EmfHeaderBytes + 4, 20);
    put(EmfHeaderBytes + 16, 20);
    return b;
}

QTemporaryDir& TestFolder()
{
    static QTemporaryDir folder;
    return folder;
}

} // namespace

std::unique_ptr<TMetafile> BlankPage(int Width, int Height)
{
    auto page = std::make_unique<TMetafile>();
    page->LoadFromBytes(BlankPageBytes(Width, Height));
    return page;
}

QString WriteTestReport(const QString& Name, const std::vector<std::pair<int, int>>& PageSizes)
{
    const QString path = TestFolder().filePath(Name);
    TQRPageList list;
    list.SetStream(std::make_unique<TQRStream>(1 << 20));
    for (const auto& size : PageSizes)
        list.AddPage(*BlankPage(size.first, size.second));
    list.Finish();
    list.SaveToFile(path.toStdString());
    return path;
}

QString WriteA4Report(const QString& Name, int Pages)
{
    return WriteTestReport(Name, std::vector<std::pair<int, int>>(static_cast<size_t>(Pages), {794, 1123}));
}

std::unique_ptr<TQRPrinter> LoadedDocument(const QString& FileName)
{
    auto document = std::make_unique<TQRPrinter>(nullptr);
    document->Load(FileName);
    return document;
}
