// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own catalogue and Qt's, chosen by the system locale. Under C
// or an English locale nothing is loaded and every text stays as written.
#include <QString>

class QCoreApplication;

// Installs qrpview_<lang>.qm and qtbase_<lang>.qm into the application.
// Returns whether our own catalogue was found.
bool InstallTranslations(QCoreApplication& App);

// Translates without an application object (qrptool's helpers that start
// none): the catalogue is loaded on the first call only.
QString TranslateText(const char* Context, const char* SourceText);

// The folder that holds our .qm files, empty when none is found.
QString TranslationsDir();
