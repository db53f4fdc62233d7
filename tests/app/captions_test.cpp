// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption of the viewer's three windows fits the control that shows
// it, in the font the windows really get.
#include "app/mainwindow.h"
#include "app/previewwindow.h"
#include "app/selectprinter.h"

#include "dialog_recorder.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Plain(QString Caption)
{
    return Caption.remove(QLatin1Char('&'));
}

// Width a caption needs inside its control, frame and indicator included.
int NeededWidth(QWidget* Control)
{
    const QFontMetrics fm = Control->fontMetrics();
    QStyle* style = Control->style();
    if (auto* radio = qobject_cast<QRadioButton*>(Control))
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, radio) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio) +
               fm.horizontalAdvance(Plain(radio->text()));
    if (auto* button = qobject_cast<QPushButton*>(Control)) {
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        // A frame of two pixels and a pixel of air on each side.
        return fm.horizontalAdvance(Plain(button->text())) + icon + 6;
    }
    if (auto* label = qobject_cast<QLabel*>(Control))
        return fm.horizontalAdvance(Plain(label->text()));
    if (auto* group = qobject_cast<QGroupBox*>(Control))
        return fm.horizontalAdvance(Plain(group->title())) + 16;
    return 0;
}

void ExpectCaptionsFit(QWidget* Window)
{
    Window->show();
    int checked = 0;
    for (QWidget* control : Window->findChildren<QWidget*>()) {
        const int needed = NeededWidth(control);
        if (needed == 0 || !control->isVisible())
            continue;
        ++checked;
        EXPECT_LE(needed, control->width())
            << Window->metaObject()->className() << " " << control->objectName().toStdString() << " \""
            << control->property("text").toString().toStdString() << control->property("title").toString().toStdString()
            << "\"";
    }
    EXPECT_GT(checked, 0);
}

} // namespace

TEST(Captions, TheFormFontIsAMetricCompatibleFaceNotTheWideDefault)
{
    TfrmZozEdezaPreview window(nullptr, nullptr);
    const QString family = QFontInfo(window.btnNextPage->font()).family();
    EXPECT_NE(family, "DejaVu Sans");
    EXPECT_EQ(QFontInfo(window.btnNextPage->font()).pixelSize(), 11);
}

TEST(Captions, FitTheirControlsInAllThreeWindows)
{
    TfrmZozEdezaPreview preview(nullptr, nullptr);
    ExpectCaptionsFit(&preview);

    TfrmSelectPrinter dialog;
    ExpectCaptionsFit(&dialog);
    dialog.StatusLbl->setText(QStringLiteral("Yazıcı çoklu kopya sistemini desteklemiyor."));
    dialog.StatusLbl->adjustSize();
    EXPECT_LE(dialog.StatusLbl->geometry().right(), dialog.width());

    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    TDialogRecorder noDialogs;
    Tfrmzizarud main;
    main.show();
    QMenuBar* bar = main.menuBar();
    for (QAction* top : bar->actions())
        EXPECT_LE(bar->actionGeometry(top).right(), bar->width()) << top->text().toStdString();
    qunsetenv("XDG_DATA_HOME");
}
