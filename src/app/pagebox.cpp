#include "app/pagebox.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

#include <climits>

TPageBox::TPageBox(QWidget* Parent) : QWidget(Parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(4);
    auto* caption = new QLabel(QStringLiteral("Sayfa"), this);
    FField = new QLineEdit(this);
    FField->setObjectName(QStringLiteral("PageField"));
    FField->setValidator(new QIntValidator(1, INT_MAX, FField));
    FField->setAlignment(Qt::AlignRight);
    FField->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 8);
    caption->setBuddy(FField);
    FCount = new QLabel(this);
    layout->addWidget(caption);
    layout->addWidget(FField);
    layout->addWidget(FCount);
    layout->addStretch(1);
    connect(FField, &QLineEdit::returnPressed, this, &TPageBox::Entered);
    // Leaving the field without Enter shows the page on screen again.
    connect(FField, &QLineEdit::editingFinished, this, [this] {
        if (!FField->hasFocus())
            FField->setText(QString::number(FPage));
    });
}

void TPageBox::ShowPage(int Page, int PageCount)
{
    FPage = Page;
    FField->setText(QString::number(Page));
    FCount->setText(QStringLiteral("/ ") + QString::number(PageCount));
}

void TPageBox::Entered()
{
    bool ok = false;
    const int page = FField->text().toInt(&ok);
    if (ok && OnGoto)
        OnGoto(page);
    FField->setText(QString::number(FPage));
    FField->selectAll();
}
