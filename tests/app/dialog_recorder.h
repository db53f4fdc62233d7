// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers the viewer's dialogs for a test and remembers what they showed.
#include "app/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include <optional>

struct TDialogRecorder {
    TDialogRecorder()
    {
        SetDialogRunners(
            [this](QFileDialog& Dialog) {
                DialogTitles << Dialog.windowTitle();
                DialogFilters << Dialog.nameFilters().join(';');
                return Answer;
            },
            [this](QMessageBox& Box) { Messages << Box.text(); });
    }
    ~TDialogRecorder() { SetDialogRunners(nullptr, nullptr); }

    std::optional<QString> Answer;
    QStringList DialogTitles, DialogFilters, Messages;
};
