#pragma once
// What Qt PrintSupport does not tell about a CUPS queue: whether its driver
// makes copies, and its paper sources. Read from libcups,
// loaded at run time so that the program also starts where it is missing.
#include <QString>
#include <QStringList>

#include <cstdint>

struct TCupsQueue {
    bool Known = false;   // libcups answered for this queue
    bool Copies = true;   // CUPS_PRINTER_COPIES
    QStringList InputSlots; // PPD InputSlot keywords, in PPD order
    QString DefaultInputSlot;
};

TCupsQueue QueryCupsQueue(const QString& Name);

// The Windows paper source code for a PPD InputSlot keyword; slots without a
// Windows name get driver codes from 257 on, by their position.
int16_t BinCodeForInputSlot(const QString& Keyword, int Position);

// The InputSlot keywords and the default one of a PPD text.
void ParsePpdInputSlots(const QByteArray& Ppd, QStringList& Slots, QString& Default);
