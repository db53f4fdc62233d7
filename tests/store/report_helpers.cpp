#include "report_helpers.h"
#include "platform/streams.h"
#include "store/qrcompress.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

int32_t GetI32(const Bytes& Data, size_t Offset)
{
    return static_cast<int32_t>(uint32_t(Data.at(Offset)) | uint32_t(Data.at(Offset + 1)) << 8 |
                                uint32_t(Data.at(Offset + 2)) << 16 | uint32_t(Data.at(Offset + 3)) << 24);
}

void PutI32(Bytes& Data, size_t Offset, int32_t Value)
{
    for (int i = 0; i < 4; ++i)
        Data.at(Offset + i) = static_cast<uint8_t>(static_cast<uint32_t>(Value) >> (8 * i));
}

Bytes MakeEmf(uint32_t Size, uint8_t Seed)
{
    if (Size < 128 || Size % 4)
        throw std::invalid_argument("EMF size must be a multiple of 4, at least 128");
    Bytes e(Size, 0);
    PutI32(e, 0, 1);      // EMR_HEADER
    PutI32(e, 4, 108);
    PutI32(e, 24, 0);     // frame: 210 x 297 mm
    PutI32(e, 32, 20999);
    PutI32(e, 36, 29699);
    PutI32(e, 40, 0x464D4520);
    PutI32(e, 44, 0x10000);
    PutI32(e, 48, static_cast<int32_t>(Size));
    PutI32(e, 52, 3);
    PutI32(e, 72, 1024);
    PutI32(e, 76, 768);
    PutI32(e, 80, 320);
    PutI32(e, 84, 240);
    // EMR_COMMENT filling the middle, then EMR_EOF.
    const uint32_t comment = Size - 108 - 20;
    PutI32(e, 108, 70);
    PutI32(e, 112, static_cast<int32_t>(comment));
    PutI32(e, 116, static_cast<int32_t>(comment - 12));
    for (uint32_t i = 120; i < 108 + comment; ++i)
        e[i] = static_cast<uint8_t>(i * 7 + Seed);
    PutI32(e, Size - 20, 14);
    PutI32(e, Size - 16, 20);
    PutI32(e, Size - 4, 20);
    return e;
}

Bytes ReadFileBytes(const std::string& FileName)
{
    std::ifstream f(FileName, std::ios::binary);
    if (!f)
        throw std::runtime_error("cannot read " + FileName);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

void WriteFileBytes(const std::string& FileName, const Bytes& Data)
{
    std::ofstream f(FileName, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
    if (!f)
        throw std::runtime_error("cannot write " + FileName);
}

Bytes MakeReport(int32_t HeaderSize, const std::vector<Bytes>& Pages, bool Compressed, int32_t HeaderPageCount)
{
    const int32_t count = HeaderPageCount >= 0 ? HeaderPageCount : static_cast<int32_t>(Pages.size());
    Bytes r(static_cast<size_t>(std::max(HeaderSize, 128)), 0);
    r[0] = 3;
    r[2] = 50;
    PutI32(r, 8, count);
    const double created = 45000.5;
    if (HeaderSize == 124) {
        std::memcpy(&r[12], &created, 8);
        r[21] = Compressed;
        std::memset(&r[22], 'H', 100);
    } else {
        if (HeaderSize == 128)
            std::memcpy(&r[16], &created, 8);
        r[25] = Compressed;
        std::memset(&r[26], 'H', 100);
    }
    r.resize(static_cast<size_t>(HeaderSize));
    int32_t number = 0;
    for (const Bytes& page : Pages) {
        Bytes data;
        if (Compressed) {
            TMemoryStream coded;
            coded.WriteInt32(static_cast<int32_t>(page.size()));
            TQRCompress c(coded, true);
            c.CompressBytes(page.data(), page.size());
            c.Finish();
            data = coded.Bytes();
        } else {
            data = page;
        }
        const int32_t start = static_cast<int32_t>(r.size());
        r.resize(r.size() + 8 + data.size() + 4);
        PutI32(r, static_cast<size_t>(start), ++number);
        PutI32(r, static_cast<size_t>(start) + 4, static_cast<int32_t>(r.size()));
        std::memcpy(&r[static_cast<size_t>(start) + 8], data.data(), data.size());
        PutI32(r, r.size() - 4, start);
    }
    return r;
}

PrivateTempDir::PrivateTempDir()
{
    char tmpl[] = "/tmp/qrp-test-XXXXXX";
    if (!::mkdtemp(tmpl))
        throw std::runtime_error("mkdtemp failed");
    FPath = tmpl;
    if (const char* old = std::getenv("TMPDIR")) {
        FHadTmp = true;
        FOldTmp = old;
    }
    ::setenv("TMPDIR", FPath.c_str(), 1);
}

PrivateTempDir::~PrivateTempDir()
{
    for (const std::string& f : Files())
        ::unlink((FPath + "/" + f).c_str());
    ::rmdir(FPath.c_str());
    if (FHadTmp)
        ::setenv("TMPDIR", FOldTmp.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

std::vector<std::string> PrivateTempDir::Files() const
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(FPath.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                names.push_back(e->d_name);
        ::closedir(d);
    }
    return names;
}
