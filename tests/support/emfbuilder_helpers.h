// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small EMF pages of drawing records for the player's tests, on the page
// builder. The reference device has square 1 mm pixels and the frame is
// Size x Size pixels, so playing into a Size x Size image maps one unit to
// one pixel.
#include "emfpage.h"
#include "platform/emf/emfplayer.h"
#include "platform/metafile.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <vector>

class TEmfBuilder {
public:
    explicit TEmfBuilder(int Size = 100, uint16_t Handles = 8);

    // A record of Type whose body is the given 32-bit values.
    TEmfBuilder& Rec(uint32_t Type, std::initializer_list<uint32_t> Values);
    // A record with a raw body; Size 0 writes the true size.
    TEmfBuilder& Raw(uint32_t Type, const std::vector<uint8_t>& Body, uint32_t DeclaredSize = 0);

    TEmfBuilder& Pen(uint32_t Index, uint32_t Style, int Width, uint32_t ColorRef);
    TEmfBuilder& Brush(uint32_t Index, uint32_t Style, uint32_t ColorRef, uint32_t Hatch = 0);
    TEmfBuilder& Font(uint32_t Index, int Height, const QString& Face, int Escapement = 0, uint8_t Charset = 0,
                      uint8_t Quality = 0);
    TEmfBuilder& Select(uint32_t Index);
    // SETWORLDTRANSFORM of eM11, eM12, eM21, eM22, eDx, eDy.
    TEmfBuilder& WorldTransform(const float (&Matrix)[6]);
    TEmfBuilder& TextW(int X, int Y, const QString& Text, const std::vector<int>& Dx, uint32_t Options = 0,
                       const int* Rect = nullptr, uint32_t GraphicsMode = 1);
    // STRETCHDIBITS of a 24-bit bottom-up DIB holding Image.
    TEmfBuilder& StretchDib(int X, int Y, int W, int H, const QImage& Image, uint32_t Rop = 0x00CC0020);

    std::vector<uint8_t> Bytes() const; // with EOF and the header's totals
    TMetafile Page() const;

private:
    TEmfPageBuilder FPage;
};

// Plays Page into a white Size x Size image.
QImage PlayToImage(const TMetafile& Page, int Size = 100, TEmfTextMode Text = TEmfTextMode::Smooth);
// Pixels of Image darker than white, inside Area.
int InkIn(const QImage& Image, const QRect& Area);
