// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What Qt PrintSupport does not tell about a CUPS queue (whether its driver
// makes copies, and its paper sources) and the submission of a finished job.
// Through libcups, loaded at run time so that the program also starts where
// it is missing.
#include <QString>
#include <QStringList>

#include <cstdint>

struct TCupsQueue {
    bool Known = false;     // libcups answered for this queue
    bool Copies = true;     // CUPS_PRINTER_COPIES
    QStringList InputSlots; // PPD InputSlot keywords, in PPD order
    QString DefaultInputSlot;
};

TCupsQueue QueryCupsQueue(const QString& Name);

// Sends the document File to Queue as one job; Options are name, value
// pairs, a later value replacing an earlier one of the same name. Returns
// the job id, or 0 with the reason in Error.
int SubmitCupsJob(const QString& Queue, const QString& File, const QString& Title, const QStringList& Options,
                  QString& Error);

// The Windows paper source code for a PPD InputSlot keyword; slots without a
// Windows name get driver codes from 257 on, by their position.
int16_t BinCodeForInputSlot(const QString& Keyword, int Position);

// The InputSlot keywords and the default one of a PPD text.
void ParsePpdInputSlots(const QByteArray& Ppd, QStringList& Slots, QString& Default);
