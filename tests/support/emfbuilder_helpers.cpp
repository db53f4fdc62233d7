// SPDX-License-Identifier: GPL-3.0-or-later
#include "emfbuilder_helpers.h"

#include "platform/emf/emfplayer.h"
#include "platform/emf/emfrecords.h"

#include <QPainter>

#include <cstring>

TEmfBuilder::TEmfBuilder(int Size, uint16_t Handles)
{
    FPage.MillimetrePixels(Size, Size).Handles(Handles);
}

TEmfBuilder& TEmfBuilder::Rec(uint32_t Type, std::initializer_list<uint32_t> Values)
{
    FPage.Record(Type, Values);
    return *this;
}

TEmfBuilder& TEmfBuilder::Raw(uint32_t Type, const std::vector<uint8_t>& Body, uint32_t DeclaredSize)
{
    FPage.Record(Type, Body, DeclaredSize);
    return *this;
}

TEmfBuilder& TEmfBuilder::Pen(uint32_t Index, uint32_t Style, int Width, uint32_t ColorRef)
{
    return Rec(EMR_CREATEPEN, {Index, Style, uint32_t(Width), 0, ColorRef});
}

TEmfBuilder& TEmfBuilder::Brush(uint32_t Index, uint32_t Style, uint32_t ColorRef, uint32_t Hatch)
{
    return Rec(EMR_CREATEBRUSHINDIRECT, {Index, Style, ColorRef, Hatch});
}

TEmfBuilder& TEmfBuilder::Font(uint32_t Index, int Height, const QString& Face, int Escapement, uint8_t Charset,
                               uint8_t Quality)
{
    std::vector<uint8_t> b;
    Put32(b, Index);
    Put32(b, uint32_t(Height));
    Put32(b, 0);
    Put32(b, uint32_t(Escapement));
    Put32(b, uint32_t(Escapement));
    Put32(b, 400);
    b.push_back(0); // italic
    b.push_back(0); // underline
    b.push_back(0); // strike-out
    b.push_back(Charset);
    b.push_back(0); // output precision
    b.push_back(0); // clip precision
    b.push_back(Quality);
    b.push_back(0); // pitch and family
    for (int i = 0; i < 32; ++i)
        Put16(b, i < Face.size() ? Face[i].unicode() : 0);
    return Raw(EMR_EXTCREATEFONTINDIRECTW, b);
}

TEmfBuilder& TEmfBuilder::Select(uint32_t Index)
{
    return Rec(EMR_SELECTOBJECT, {Index});
}

TEmfBuilder& TEmfBuilder::WorldTransform(const float (&Matrix)[6])
{
    std::vector<uint8_t> body;
    for (float f : Matrix) {
        uint32_t u;
        memcpy(&u, &f, 4);
        Put32(body, u);
    }
    return Raw(EMR_SETWORLDTRANSFORM, body);
}

TEmfBuilder& TEmfBuilder::TextW(int X, int Y, const QString& Text, const std::vector<int>& Dx, uint32_t Options,
                                const int* Rect, uint32_t GraphicsMode)
{
    std::vector<uint8_t> b;
    for (int i = 0; i < 4; ++i)
        Put32(b, 0); // bounds
    Put32(b, GraphicsMode);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, uint32_t(X));
    Put32(b, uint32_t(Y));
    Put32(b, uint32_t(Text.size()));
    const uint32_t offString = 76;
    const uint32_t textBytes = uint32_t((Text.size() * 2 + 3) / 4 * 4);
    Put32(b, offString);
    Put32(b, Options);
    for (int i = 0; i < 4; ++i)
        Put32(b, Rect ? uint32_t(Rect[i]) : 0);
    Put32(b, Dx.empty() ? 0 : offString + textBytes);
    for (QChar c : Text)
        Put16(b, c.unicode());
    while ((b.size() + 8) % 4)
        b.push_back(0);
    for (int d : Dx)
        Put32(b, uint32_t(d));
    return Raw(EMR_EXTTEXTOUTW, b);
}

TEmfBuilder& TEmfBuilder::StretchDib(int X, int Y, int W, int H, const QImage& Image, uint32_t Rop)
{
    const QImage img = Image.convertToFormat(QImage::Format_RGB32);
    const uint32_t stride = uint32_t((img.width() * 3 + 3) / 4 * 4);
    std::vector<uint8_t> bmi;
    PutDibHeader(bmi, uint32_t(img.width()), uint32_t(img.height()), 24);
    std::vector<uint8_t> bits;
    for (int y = img.height() - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            bits.push_back(uint8_t(qBlue(row[x])));
            bits.push_back(uint8_t(qGreen(row[x])));
            bits.push_back(uint8_t(qRed(row[x])));
        }
        while (bits.size() % stride)
            bits.push_back(0);
    }
    std::vector<uint8_t> b;
    for (int i = 0; i < 4; ++i)
        Put32(b, 0);
    for (int v : {X, Y, 0, 0, img.width(), img.height()})
        Put32(b, uint32_t(v));
    const uint32_t offBmi = 80;
    Put32(b, offBmi);
    Put32(b, uint32_t(bmi.size()));
    Put32(b, offBmi + uint32_t(bmi.size()));
    Put32(b, uint32_t(bits.size()));
    Put32(b, DIB_RGB_COLORS);
    Put32(b, Rop);
    Put32(b, uint32_t(W));
    Put32(b, uint32_t(H));
    b.insert(b.end(), bmi.begin(), bmi.end());
    b.insert(b.end(), bits.begin(), bits.end());
    return Raw(EMR_STRETCHDIBITS, b);
}

std::vector<uint8_t> TEmfBuilder::Bytes() const
{
    return FPage.Bytes();
}

TMetafile TEmfBuilder::Page() const
{
    TMetafile m;
    m.LoadFromBytes(Bytes());
    return m;
}

QImage PlayToImage(const TMetafile& Page, int Size, TEmfTextMode Text)
{
    QImage image(Size, Size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    StretchDraw(painter, QRectF(0, 0, Size, Size), Page, Text);
    painter.end();
    return image;
}

int InkIn(const QImage& Image, const QRect& Area)
{
    int n = 0;
    const QRect r = Area.intersected(Image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((Image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                ++n;
    return n;
}
