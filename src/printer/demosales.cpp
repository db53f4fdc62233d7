// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/demosales.h"

#include <QDate>

#include <iterator>

namespace {

const char* const Customers[] = {
    "Çağdaş Gıda Ltd. Şti.", "Işıklar Tekstil A.Ş.", "Öz Güneş İnşaat",        "Şimşek Lojistik",
    "Ümit Kırtasiye",        "Ilgaz Mobilya San.",   "Doğuş Elektrik Taahhüt", "Gökçe Tarım Ürünleri",
    "Yıldız Otomotiv",       "Köşk Pastaneleri",     "Ağaoğlu Yapı Market",    "Çınar Ambalaj Sanayi",
};

struct TProduct {
    const char* Name;
    int64_t Price; // kuruş
};

const TProduct Products[] = {
    {"Çelik profil 40x40", 18750},  {"Galvaniz sac 1,5 mm", 42900},   {"İnşaat demiri Ø12", 2385},
    {"Köşebent 50x50", 15640},      {"Paslanmaz levha 2 mm", 129900}, {"Kaynak teli (kg)", 8975},
    {"Antipas boya (lt)", 31250},   {"Vida/somun takımı", 1249},      {"Alüminyum profil", 27480},
    {"Soğuk çekme mil Ø30", 54600}, {"Şerit testere", 46500},         {"Izgara çubuğu", 6890},
};

// One step of a fixed integer hash: the same row always draws the same values.
uint32_t Mix(uint32_t X)
{
    X ^= X >> 16;
    X *= 0x7feb352dU;
    X ^= X >> 15;
    X *= 0x846ca68bU;
    X ^= X >> 16;
    return X;
}

QString Grouped(uint64_t Value)
{
    QString digits = QString::number(Value);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char('.'));
    return digits;
}

} // namespace

TDemoSale DemoSale(int Number)
{
    const uint32_t h = Mix(static_cast<uint32_t>(Number) * 2654435761U + 12345U);
    TDemoSale s;
    s.Number = Number;
    s.Invoice = QStringLiteral("STF-%1").arg(Number, 6, 10, QLatin1Char('0'));
    // About five invoices a day through the year, then around again.
    s.Date = QDate(2024, 1, 2).addDays((Number - 1) / 5 % 360).toString(QStringLiteral("dd.MM.yyyy"));
    s.Customer = QString::fromUtf8(Customers[h % std::size(Customers)]);
    const TProduct& p = Products[(h >> 8) % std::size(Products)];
    s.Product = QString::fromUtf8(p.Name);
    s.Quantity = 1 + static_cast<int>((h >> 16) % 240);
    s.UnitPrice = p.Price;
    s.Amount = s.UnitPrice * s.Quantity;
    s.Vat = DemoVat(s.Amount);
    return s;
}

void TDemoTotals::Add(const TDemoSale& Sale)
{
    ++Count;
    Quantity += Sale.Quantity;
    Amount += Sale.Amount;
    Vat += Sale.Vat;
}

int64_t DemoVat(int64_t Amount)
{
    return (Amount * DemoVatRate + 50) / 100;
}

QString FormatTurkishInteger(int64_t Value)
{
    // Negate as unsigned so the smallest value does not overflow.
    const uint64_t magnitude = Value < 0 ? 0 - static_cast<uint64_t>(Value) : static_cast<uint64_t>(Value);
    return (Value < 0 ? QStringLiteral("-") : QString()) + Grouped(magnitude);
}

QString FormatTurkishAmount(int64_t Kurus)
{
    const uint64_t magnitude = Kurus < 0 ? 0 - static_cast<uint64_t>(Kurus) : static_cast<uint64_t>(Kurus);
    return (Kurus < 0 ? QStringLiteral("-") : QString()) + Grouped(magnitude / 100) + QLatin1Char(',') +
           QStringLiteral("%1").arg(static_cast<int>(magnitude % 100), 2, 10, QLatin1Char('0'));
}
