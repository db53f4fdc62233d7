// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pagebox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolTip>

TPageBox::TPageBox(QWidget* Parent) : QWidget(Parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(4);
    auto* caption = new QLabel(tr("Sayfa"), this);
    FField = new QLineEdit(this);
    FField->setObjectName(QStringLiteral("PageField"));
    FField->setAccessibleName(tr("Sayfa numarası"));
    // Any number is taken, so that one outside the report can be refused
    // with a word rather than ignored.
    FField->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,9}")), FField));
    FField->setAlignment(Qt::AlignRight);
    FField->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 8);
    caption->setBuddy(FField);
    FCount = new QLabel(this);
    layout->addWidget(caption);
    layout->addWidget(FField);
    layout->addWidget(FCount);
    FZoom = new QLabel(this);
    FZoom->setObjectName(QStringLiteral("ZoomLabel"));
    // Room for the largest zoom from the start, so that the box never jumps.
    FZoom->setMinimumWidth(FZoom->fontMetrics().horizontalAdvance(tr("%1%").arg(2000)) + 2);
    layout->addSpacing(6);
    layout->addWidget(FZoom);
    layout->addStretch(1);
    connect(FField, &QLineEdit::returnPressed, this, &TPageBox::Entered);
    connect(FField, &QLineEdit::textEdited, this, [this] { SetRefused(false); });
    // Leaving the field without Enter shows the page on screen again.
    connect(FField, &QLineEdit::editingFinished, this, [this] {
        if (!FField->hasFocus())
            FField->setText(QString::number(FPage));
    });
}

void TPageBox::ShowPage(int Page, int PageCount)
{
    SetRefused(false);
    FPage = Page;
    FPageCount = PageCount;
    FField->setText(QString::number(Page));
    FCount->setText(QStringLiteral("/ ") + QString::number(PageCount));
}

void TPageBox::ShowZoom(int Zoom)
{
    //: The zoom level beside the page number, e.g. "150%".
    FZoom->setText(tr("%1%").arg(Zoom));
    FZoom->setAccessibleName(tr("Yakınlaştırma %1%").arg(Zoom));
}

void TPageBox::Entered()
{
    bool ok = false;
    const int page = FField->text().toInt(&ok);
    if (!ok || page < 1 || page > FPageCount) {
        Refuse();
        return;
    }
    if (OnGoto)
        OnGoto(page);
    FField->setText(QString::number(FPage));
    FField->selectAll();
}

void TPageBox::Refuse()
{
    // The page shown stays in the field, marked, with the reason beside it.
    FField->setText(QString::number(FPage));
    FField->selectAll();
    SetRefused(true);
    QApplication::beep();
    const QString text = FPageCount > 0 ? tr("Sayfa numarası 1 ile %1 arasında olmalı.").arg(FPageCount)
                                        : tr("Raporda sayfa yok.");
    QToolTip::showText(FField->mapToGlobal(QPoint(0, FField->height())), text, FField);
}

void TPageBox::SetRefused(bool On)
{
    if (On == FRefused)
        return;
    FRefused = On;
    QPalette palette = FField->palette();
    palette.setColor(QPalette::Base, On ? QColor(255, 214, 214) : QApplication::palette(FField).color(QPalette::Base));
    FField->setPalette(palette);
    if (!On)
        QToolTip::hideText();
}
