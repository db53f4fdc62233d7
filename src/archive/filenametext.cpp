// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/filenametext.h"

namespace {

constexpr char16_t EscapeBase = 0xDC00; // U+DC80..U+DCFF hold the bytes 0x80..0xFF

// Length of the valid UTF-8 sequence at At (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 if the byte there starts none.
size_t Utf8Length(const std::string& Text, size_t At, char32_t& Code)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(Text[i]); };
    const unsigned char lead = byte(At);
    if (lead < 0x80) {
        Code = lead;
        return 1;
    }
    size_t length;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, Code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, Code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, Code = lead & 0x07;
    } else {
        return 0;
    }
    if (Text.size() - At < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(At + i) & 0xC0) != 0x80)
            return 0;
        Code = (Code << 6) | (byte(At + i) & 0x3F);
    }
    if (Code < min || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString FileNameText(const std::string& Name)
{
    QString out;
    out.reserve(qsizetype(Name.size()));
    for (size_t at = 0; at < Name.size();) {
        char32_t code = 0;
        const size_t length = Utf8Length(Name, at, code);
        if (length == 0) {
            out += QChar(char16_t(EscapeBase + static_cast<unsigned char>(Name[at])));
            ++at;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        at += length;
    }
    return out;
}

std::string FileNameBytes(const QString& Text)
{
    std::string out;
    out.reserve(size_t(Text.size()));
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const char16_t unit = Text[i].unicode();
        if (unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF) {
            out += char(unit - EscapeBase);
            continue;
        }
        // Everything else is ordinary text, surrogate pairs included.
        const qsizetype n = QChar::isHighSurrogate(unit) && i + 1 < Text.size() &&
                                    QChar::isLowSurrogate(Text[i + 1].unicode())
                              ? 2
                              : 1;
        out += Text.mid(i, n).toStdString();
        i += n - 1;
    }
    return out;
}

QString FileNameKey(const std::string& Name)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(Name.size());
    for (size_t at = 0; at < Name.size();) {
        char32_t code = 0;
        const size_t length = Utf8Length(Name, at, code);
        if (length == 0 || Name[at] == '%') {
            const auto byte = static_cast<unsigned char>(Name[at]);
            out += '%';
            out += Hex[byte >> 4];
            out += Hex[byte & 0xF];
            ++at;
            continue;
        }
        out.append(Name, at, length);
        at += length;
    }
    return QString::fromStdString(out);
}
