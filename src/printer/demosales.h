// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The made-up sales data of the demo report and its Turkish number formats.
// Every row is a pure function of its index, so a report of any length is
// the same from one run to the next.
#include <QString>

#include <cstdint>

struct TDemoSale {
    int Number = 0;  // 1-based row number
    QString Invoice; // "STF-000123"
    QString Date;    // "02.01.2024"
    QString Customer;
    QString Product;
    int Quantity = 0;
    int64_t UnitPrice = 0; // kuruş
    int64_t Amount = 0;    // kuruş, Quantity × UnitPrice
    int64_t Vat = 0;       // kuruş
};

TDemoSale DemoSale(int Number);

// Running sums of the listed sales, for the summary.
struct TDemoTotals {
    int Count = 0;
    int64_t Quantity = 0;
    int64_t Amount = 0;
    int64_t Vat = 0;
    void Add(const TDemoSale& Sale);
};

// Value added tax in percent, and the tax on an amount, half a kuruş up.
constexpr int DemoVatRate = 20;
int64_t DemoVat(int64_t Amount);

// Thousands grouped by '.', whole numbers: 1234567 gives "1.234.567".
QString FormatTurkishInteger(int64_t Value);
// Kuruş as lira with a decimal comma: 123456789 gives "1.234.567,89".
QString FormatTurkishAmount(int64_t Kurus);
