// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

QString TrimControls(const QString& Text)
{
    qsizetype first = 0;
    qsizetype last = Text.size();
    while (first < last && Text.at(first).unicode() <= 32)
        ++first;
    while (last > first && Text.at(last - 1).unicode() <= 32)
        --last;
    return Text.mid(first, last - first);
}

std::optional<QString> ReportNameFromArguments(const QStringList& Args)
{
    if (Args.isEmpty())
        return std::nullopt;
    if (TrimControls(Args.at(0)) == QLatin1String("/e"))
        return Args.value(1);
    return Args.at(0);
}

void AskAndOpenReport(const TStartupActions& Actions)
{
    const std::optional<QString> chosen = Actions.AskForReport();
    if (!chosen || TrimControls(*chosen).isEmpty())
        return;
    Actions.OpenReport(*chosen);
}

void RunStartup(const QStringList& Args, const TStartupActions& Actions)
{
    if (const std::optional<QString> name = ReportNameFromArguments(Args))
        Actions.OpenReport(*name);
    else
        AskAndOpenReport(Actions);
}
