// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The find bar under the page: Ctrl+F opens it, Enter or F3 goes to the
// next hit and Shift+F3 to the previous one across pages, every hit on the
// page shown is marked. Case and diacritics are ignored unless asked for
// (Turkish-aware); long documents are searched off the GUI thread and
// Escape stops the search, or closes the bar when none runs.
#include <QRectF>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TPageTextOverlay;
class TQRPreview;
class TTextSearchJob;

class TFindBar : public QWidget {
    Q_OBJECT
public:
    // Keys go to Window; the bar starts closed.
    TFindBar(TQRPreview* Preview, QWidget* Window);
    ~TFindBar() override;

    void Open();
    void Close();
    void FindNext();
    void FindPrevious();
    // Opens the bar looking for any of Phrases at once, as an archive query
    // gives them (ArchiveQueryPhrases: the words of a phrase in a row, a
    // trailing * makes the last a prefix), from the page shown; typing in
    // the bar ends it.
    void FindWords(const QStringList& Phrases);

    int HitCount() const { return int(FHits.size()); }
    int CurrentHit() const { return FCurrent; } // -1: none
    int CurrentPage() const { return FCurrent >= 0 ? FHits[size_t(FCurrent)].Page : 0; }
    QRectF CurrentBox() const { return FCurrent >= 0 ? FHits[size_t(FCurrent)].Box : QRectF(); }
    bool Searching() const;
    // Page-coordinate boxes of the hits on Page.
    QVector<QRectF> HitsOn(int Page) const;

    QLineEdit* Edit() const { return FEdit; }
    QCheckBox* MatchCase() const { return FMatchCase; }
    QCheckBox* MatchMarks() const { return FMatchMarks; }
    QLabel* Status() const { return FStatus; }

    // Called after the bar turned the page, so that the window can follow.
    std::function<void()> OnPageChanged;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    struct THit {
        int Page;
        QRectF Box;
    };
    void Restart();
    void AddHits(int Page, const QVector<QRectF>& Boxes);
    void Step(int Direction);
    void ShowCurrent();
    void UpdateStatus();
    void SetTabbable(bool On);

    TQRPreview* FPreview;
    QLineEdit* FEdit;
    QCheckBox* FMatchCase;
    QCheckBox* FMatchMarks;
    QLabel* FStatus;
    TTextSearchJob* FJob;
    TPageTextOverlay* FOverlay;
    std::vector<THit> FHits; // by page, then reading order
    int FCurrent = -1;
    bool FStopped = false;
    // The last step went round from one end of the hits to the other: its
    // direction, 0 when it did not.
    int FWrapped = 0;
    // What FindWords put in the edit and the expression it stands for.
    QString FWordsText, FWordsPattern;
};
