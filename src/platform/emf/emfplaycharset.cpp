#include "platform/emf/emfplaycharset.h"

#include <QByteArray>
#include <QStringDecoder>

#include <array>
#include <map>
#include <mutex>

namespace {

using ByteTable = std::array<char16_t, 256>;

QByteArray CodecName(int CodePage)
{
    switch (CodePage) {
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1361: return "johab";
    case 10000: return "macintosh";
    case 437: return "IBM437";
    case 874: return "windows-874";
    default: return "windows-" + QByteArray::number(CodePage);
    }
}

// Single-byte code pages decoded once into a table; bytes a decoder cannot
// map keep their Latin-1 value so that nothing silently disappears.
const ByteTable& TableFor(int CodePage)
{
    static std::mutex lock;
    static std::map<int, ByteTable> tables;
    std::lock_guard<std::mutex> guard(lock);
    auto it = tables.find(CodePage);
    if (it != tables.end())
        return it->second;
    ByteTable t;
    for (int b = 0; b < 256; ++b)
        t[b] = char16_t(b);
    QStringDecoder decoder(CodecName(CodePage).constData());
    if (decoder.isValid()) {
        for (int b = 0x80; b < 256; ++b) {
            const char c = char(b);
            QString s = decoder.decode(QByteArrayView(&c, 1));
            decoder.resetState();
            if (s.size() == 1 && s[0] != QChar(0xFFFD))
                t[b] = s[0].unicode();
        }
    }
    return tables.emplace(CodePage, t).first->second;
}

} // namespace

bool EmfIsDoubleByteCodePage(int CodePage)
{
    return CodePage == 932 || CodePage == 936 || CodePage == 949 || CodePage == 950 || CodePage == 1361;
}

QString EmfDecodeAnsi(const uint8_t* Bytes, size_t Count, int CodePage, std::vector<int>* ByteCounts)
{
    QString out;
    out.reserve(int(Count));
    if (ByteCounts)
        ByteCounts->clear();
    if (!EmfIsDoubleByteCodePage(CodePage)) {
        const ByteTable& t = TableFor(CodePage);
        for (size_t i = 0; i < Count; ++i) {
            out.append(QChar(t[Bytes[i]]));
            if (ByteCounts)
                ByteCounts->push_back(1);
        }
        return out;
    }
    QStringDecoder decoder(CodecName(CodePage).constData());
    for (size_t i = 0; i < Count;) {
        size_t n = (Bytes[i] >= 0x81 && i + 1 < Count) ? 2 : 1;
        QString s;
        if (decoder.isValid()) {
            s = decoder.decode(QByteArrayView(reinterpret_cast<const char*>(Bytes + i), qsizetype(n)));
            decoder.resetState();
        }
        if (s.isEmpty() || (n == 2 && s.size() != 1)) {
            n = 1;
            s = QString(QChar(char16_t(Bytes[i])));
        }
        for (int k = 0; k < s.size(); ++k) {
            out.append(s[k]);
            if (ByteCounts)
                ByteCounts->push_back(k == 0 ? int(n) : 0);
        }
        i += n;
    }
    return out;
}
