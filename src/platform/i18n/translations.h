// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own catalogue and Qt's, chosen by the system locale. Under C
// or an English locale nothing is loaded and every text stays as written.
#include <QLocale>
#include <QString>

#include <vector>

class QCoreApplication;
class QTranslator;

// Installs qrpview_<lang>.qm and qtbase_<lang>.qm, those found, into the
// application, which owns them; returns them so that a caller can take
// them out again.
std::vector<QTranslator*> InstallTranslations(QCoreApplication& App, const QLocale& Locale = QLocale::system());

// Translates without an application object (qrptool's helpers that start
// none): the catalogue is loaded on the first call only.
QString TranslateText(const char* Context, const char* SourceText);
