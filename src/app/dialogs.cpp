// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dialogs.h"

#include "app/reportsnapshot.h"
#include "platform/i18n/errortext.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <exception>

namespace {

// The file dialog's type column: Qt's Turkish catalogue has these names
// only under an older context, so ours carries them under the one Qt asks.
[[maybe_unused]] const struct {
    const char* Source;
    const char* Comment;
} FileTypeNames[] = {
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Folder", "All other platforms"),
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Shortcut", "All other platforms"),
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "File", ""),
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Drive", ""),
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Unknown", ""),
};

TFileDialogRunner& FileDialogRunner()
{
    static TFileDialogRunner runner;
    return runner;
}

TMessageBoxRunner& MessageBoxRunner()
{
    static TMessageBoxRunner runner;
    return runner;
}

void ShowBox(QWidget* Parent, QMessageBox::Icon Icon, const QString& Text, const QString& File = QString())
{
    QMessageBox box(Icon, QApplication::applicationDisplayName(), Text, QMessageBox::Ok, Parent);
    if (!File.isEmpty())
        box.setInformativeText(File);
    ExecuteMessageBox(box);
}

} // namespace

std::optional<QString> ExecuteFileDialog(QFileDialog& Dialog)
{
    if (FileDialogRunner())
        return FileDialogRunner()(Dialog);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Dialog.selectedFiles().constFirst();
}

void ExecuteMessageBox(QMessageBox& Box)
{
    if (MessageBoxRunner())
        MessageBoxRunner()(Box);
    else
        Box.exec();
}

void SetDialogRunners(TFileDialogRunner FileDialogs, TMessageBoxRunner MessageBoxes)
{
    FileDialogRunner() = std::move(FileDialogs);
    MessageBoxRunner() = std::move(MessageBoxes);
}

void ShowMessage(QWidget* Parent, const QString& Text, const QString& File)
{
    ShowBox(Parent, QMessageBox::NoIcon, Text, File);
}

void ShowErrorMessage(QWidget* Parent, const QString& Text)
{
    // A page found damaged later is read from the window's private copy.
    ShowBox(Parent, QMessageBox::Critical, TranslatedErrorText(WithUserFileNames(Text)));
}

void RunReportingErrors(QWidget* Parent, const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const std::exception& error) {
        ShowErrorMessage(Parent, QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorMessage(Parent, QStringLiteral("Unknown error"));
    }
}
