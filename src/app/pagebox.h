// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Sayfa [N] / M" beside the preview window's buttons: shows the page on
// screen and takes a page number to go to.
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;

class TPageBox : public QWidget {
    Q_OBJECT
public:
    explicit TPageBox(QWidget* Parent = nullptr);

    void ShowPage(int Page, int PageCount);
    void ShowZoom(int Zoom);
    QLineEdit* Field() const { return FField; }
    // The number entered last lies outside the report: the field says so
    // until it is edited.
    bool Refused() const { return FRefused; }

    // Enter in the field with a number in it.
    std::function<void(int Page)> OnGoto;

private:
    void Entered();
    void Refuse();
    void SetRefused(bool On);

    QLineEdit* FField = nullptr;
    QLabel* FCount = nullptr;
    QLabel* FZoom = nullptr;
    int FPage = 0;
    int FPageCount = 0;
    bool FRefused = false;
};
