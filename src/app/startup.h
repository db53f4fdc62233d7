// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the command line asks the viewer to do at start: open the report it
// names ("/e" only moves the name to the second argument) or ask for one.
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Text without leading and trailing blanks and control characters (codes
// up to 32).
QString TrimControls(const QString& Text);

// The report name on the command line (Args without the program), exactly
// as given; nothing when there are no arguments. "/e" alone gives an empty
// name, which the load then refuses.
std::optional<QString> ReportNameFromArguments(const QStringList& Args);

struct TStartupActions {
    std::function<void(const QString& FileName)> OpenReport;
    // The chosen file name, or nothing when the user cancelled.
    std::function<std::optional<QString>()> AskForReport;
};

// Opens the report of the command line, or the one chosen in the open
// dialog when there is none; a blank choice opens nothing.
void RunStartup(const QStringList& Args, const TStartupActions& Actions);
// The dialog half of the start-up, also behind the "Rapor Aç..." menu item.
void AskAndOpenReport(const TStartupActions& Actions);
