// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The viewer's modal dialogs and messages go through one door, so that the
// windows can be driven without a person (tests answer them instead).
#include <QString>

#include <functional>
#include <optional>

class QFileDialog;
class QMessageBox;
class QWidget;

// The chosen file, or nothing when the dialog was cancelled.
std::optional<QString> ExecuteFileDialog(QFileDialog& Dialog);
void ExecuteMessageBox(QMessageBox& Box);

using TFileDialogRunner = std::function<std::optional<QString>(QFileDialog&)>;
using TMessageBoxRunner = std::function<void(QMessageBox&)>;
// Empty runners restore the interactive ones.
void SetDialogRunners(TFileDialogRunner FileDialogs, TMessageBoxRunner MessageBoxes);

// A plain message with the program's name as caption; File, when given,
// stands under it, so that the message names the file it is about.
void ShowMessage(QWidget* Parent, const QString& Text, const QString& File = QString());
void ShowErrorMessage(QWidget* Parent, const QString& Text);

// Runs Action; an error it raises becomes an error message and goes no
// further, so one failed command never ends the program.
void RunReportingErrors(QWidget* Parent, const std::function<void()>& Action);
