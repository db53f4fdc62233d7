// SPDX-License-Identifier: GPL-3.0-or-later
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

QString EmfSymbolToUnicode(const QString& Text)
{
    // Adobe Symbol encoding from 0x20 on; 0 where Unicode has no single
    // character (bracket pieces), which keeps the code as it is.
    static const char16_t Table[224] = {
        0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212,
        0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
        0x003C, 0x003D, 0x003E, 0x003F, 0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
        0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,
        0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5,
        0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
        0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,      0,      0,
        0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
        0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
        0,      0,      0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
        0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260,
        0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,
        0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F,
        0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0x00AE, 0x00A9,
        0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0,      0x232A,
        0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,
    };
    QString out = Text;
    for (QChar& c : out) {
        char16_t u = c.unicode();
        if (u >= 0xF020 && u <= 0xF0FF)
            u = char16_t(u - 0xF000); // the symbol cmap's private range
        if (u >= 0x20 && u <= 0xFF && Table[u - 0x20])
            c = QChar(Table[u - 0x20]);
    }
    return out;
}
