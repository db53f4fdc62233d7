// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/findbar.h"

#include "archive/archivephrases.h"
#include "platform/emftext/textfold.h"
#include "platform/metafile.h"
#include "preview/pagetextoverlay.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "preview/textsearchjob.h"
#include "printer/qrprinter.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QSignalBlocker>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>

#include <algorithm>

TFindBar::TFindBar(TQRPreview* Preview, QWidget* Window) : QWidget(Window), FPreview(Preview)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    FEdit = new QLineEdit(this);
    FEdit->setPlaceholderText(tr("Bul"));
    FEdit->setClearButtonEnabled(true);
    FEdit->installEventFilter(this);
    FEdit->setAccessibleName(tr("Aranan metin"));
    auto* previous = new QToolButton(this);
    previous->setArrowType(Qt::UpArrow);
    previous->setToolTip(tr("Önceki (Shift+F3)"));
    previous->setAccessibleName(tr("Önceki eşleşme"));
    auto* next = new QToolButton(this);
    next->setArrowType(Qt::DownArrow);
    next->setToolTip(tr("Sonraki (F3)"));
    next->setAccessibleName(tr("Sonraki eşleşme"));
    FMatchCase = new QCheckBox(tr("Büyük/küçük harf"), this);
    FMatchMarks = new QCheckBox(tr("Aksanlar (ç≠c)"), this);
    FStatus = new QLabel(this);
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("×"));
    close->setToolTip(tr("Kapat (Esc)"));
    close->setAccessibleName(tr("Arama çubuğunu kapat"));
    layout->addWidget(FEdit, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(FMatchCase);
    layout->addWidget(FMatchMarks);
    layout->addWidget(FStatus);
    layout->addWidget(close);
    hide();
    SetTabbable(false);

    FJob = new TTextSearchJob(this);
    FOverlay = new TPageTextOverlay(
        Preview->PreviewImage(),
        [this](int Page, int& Current) {
            if (isHidden())
                return QVector<QRectF>();
            const auto first = std::lower_bound(FHits.begin(), FHits.end(), Page,
                                                [](const THit& h, int p) { return h.Page < p; });
            QVector<QRectF> boxes;
            for (auto it = first; it != FHits.end() && it->Page == Page; ++it) {
                if (it - FHits.begin() == FCurrent)
                    Current = int(boxes.size());
                boxes.append(it->Box);
            }
            return boxes;
        },
        QColor(255, 230, 0));

    connect(FEdit, &QLineEdit::textChanged, this, &TFindBar::Restart);
    connect(FMatchCase, &QCheckBox::toggled, this, &TFindBar::Restart);
    connect(FMatchMarks, &QCheckBox::toggled, this, &TFindBar::Restart);
    connect(previous, &QToolButton::clicked, this, &TFindBar::FindPrevious);
    connect(next, &QToolButton::clicked, this, &TFindBar::FindNext);
    connect(close, &QToolButton::clicked, this, &TFindBar::Close);
    connect(FJob, &TTextSearchJob::PageHits, this, &TFindBar::AddHits);
    connect(FJob, &TTextSearchJob::Progress, this, &TFindBar::UpdateStatus);
    connect(FJob, &TTextSearchJob::Finished, this, &TFindBar::UpdateStatus);

    const auto bind = [Window](const QKeySequence& Keys, auto Slot, QObject* Receiver) {
        auto* shortcut = new QShortcut(Keys, Window);
        QObject::connect(shortcut, &QShortcut::activated, Receiver, Slot);
    };
    bind(
        QKeySequence::Find, [this] { Open(); }, this);
    bind(
        QKeySequence(Qt::Key_F3), [this] { FindNext(); }, this);
    bind(
        QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { FindPrevious(); }, this);
}

TFindBar::~TFindBar() = default;

bool TFindBar::Searching() const
{
    return FJob->Running();
}

QVector<QRectF> TFindBar::HitsOn(int Page) const
{
    QVector<QRectF> boxes;
    for (const THit& h : FHits)
        if (h.Page == Page)
            boxes.append(h.Box);
    return boxes;
}

// A closed bar keeps out of the window's tab order.
void TFindBar::SetTabbable(bool On)
{
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w == FEdit)
            w->setFocusPolicy(On ? Qt::StrongFocus : Qt::ClickFocus);
        else if (qobject_cast<QAbstractButton*>(w))
            w->setFocusPolicy(On ? Qt::StrongFocus : Qt::NoFocus);
    }
}

void TFindBar::Open()
{
    SetTabbable(true);
    show();
    FEdit->setFocus(Qt::ShortcutFocusReason);
    FEdit->selectAll();
    FOverlay->update();
}

void TFindBar::FindWords(const QStringList& Phrases)
{
    QStringList shown;
    for (const QString& p : Phrases)
        shown << (p.contains(u' ') ? u'"' + p + u'"' : p);
    FWordsText = shown.join(u' ');
    FWordsPattern = ArchivePhrasePattern(Phrases);
    // The words come folded, as the index matched them regardless of case.
    const QSignalBlocker quiet(FMatchCase);
    FMatchCase->setChecked(false);
    Open();
    if (FEdit->text() == FWordsText)
        Restart();
    else
        FEdit->setText(FWordsText);
}

void TFindBar::Close()
{
    FJob->Stop();
    hide();
    SetTabbable(false);
    FOverlay->update();
    FPreview->setFocus(Qt::OtherFocusReason);
}

void TFindBar::Restart()
{
    FHits.clear();
    FCurrent = -1;
    FWrapped = 0;
    FStopped = false;
    FJob->Stop();
    FOverlay->update();
    TQRPrinter* document = FPreview->QRPrinter();
    if (FEdit->text().isEmpty() || !document) {
        UpdateStatus();
        return;
    }
    const unsigned fold = (FMatchCase->isChecked() ? 0u : unsigned(FoldCase)) |
                          (FMatchMarks->isChecked() ? 0u : unsigned(FoldDiacritics));
    // Pages are fetched on this thread only: the document is not shared.
    auto fetch = [preview = FPreview](int Page) -> std::unique_ptr<TMetafile> {
        TQRPrinter* d = preview->QRPrinter();
        return d ? d->GetPage(Page) : nullptr;
    };
    const bool words = !FWordsPattern.isEmpty() && FEdit->text() == FWordsText;
    FJob->Start(fetch, document->PageCount(), FPreview->PageNumber(),
                words ? TTextQuery(FWordsPattern, fold, true) : TTextQuery(FEdit->text(), fold, false));
    UpdateStatus();
}

void TFindBar::AddHits(int Page, const QVector<QRectF>& Boxes)
{
    auto at = std::lower_bound(FHits.begin(), FHits.end(), Page, [](const THit& h, int p) { return h.Page < p; });
    const int index = int(at - FHits.begin());
    std::vector<THit> added;
    for (const QRectF& b : Boxes)
        added.push_back({Page, b});
    FHits.insert(at, added.begin(), added.end());
    if (FCurrent >= index)
        FCurrent += int(added.size());
    // The search starts at the page shown, so its first hits are the nearest.
    if (FCurrent < 0) {
        FCurrent = index;
        ShowCurrent();
    }
    if (Page == FPreview->PageNumber())
        FOverlay->update();
    UpdateStatus();
}

void TFindBar::FindNext()
{
    Step(1);
}

void TFindBar::FindPrevious()
{
    Step(-1);
}

void TFindBar::Step(int Direction)
{
    if (isHidden())
        Open();
    if (FHits.empty()) {
        if (!FJob->Running() && !FEdit->text().isEmpty())
            Restart();
        return;
    }
    const int n = int(FHits.size());
    const int shown = FPreview->PageNumber();
    const int before = FCurrent;
    FWrapped = 0;
    if (FCurrent >= 0 && FHits[size_t(FCurrent)].Page == shown) {
        FCurrent = (FCurrent + Direction + n) % n;
        // Past the last hit to the first, or back past the first: said once.
        FWrapped = n > 1 && (Direction > 0 ? FCurrent < before : FCurrent > before) ? Direction : 0;
    } else if (Direction > 0) {
        // From a page the reader turned to: the first hit from there on.
        auto it = std::lower_bound(FHits.begin(), FHits.end(), shown, [](const THit& h, int p) { return h.Page < p; });
        FCurrent = it == FHits.end() ? 0 : int(it - FHits.begin());
    } else {
        auto it = std::lower_bound(FHits.begin(), FHits.end(), shown, [](const THit& h, int p) { return h.Page < p; });
        FCurrent = it == FHits.begin() ? n - 1 : int(it - FHits.begin()) - 1;
    }
    ShowCurrent();
    UpdateStatus();
}

void TFindBar::ShowCurrent()
{
    if (FCurrent < 0)
        return;
    const THit& hit = FHits[size_t(FCurrent)];
    if (FPreview->PageNumber() != hit.Page) {
        FPreview->SetPageNumber(hit.Page);
        if (OnPageChanged)
            OnPageChanged();
    }
    TQRPreviewImage* image = FPreview->PreviewImage();
    const QRectF box = FOverlay->ToImage(hit.Box);
    if (QWidget* sheet = FPreview->widget()) {
        const QPoint centre = image->mapTo(sheet, box.center().toPoint());
        FPreview->ensureVisible(centre.x(), centre.y(), int(box.width() / 2) + 40, int(box.height() / 2) + 40);
    }
    FOverlay->update();
}

void TFindBar::UpdateStatus()
{
    QString text;
    if (!FEdit->text().isEmpty()) {
        if (FHits.empty() && !FJob->Running())
            text = tr("Bulunamadı");
        else
            text = QStringLiteral("%1 / %2").arg(FCurrent + 1).arg(FHits.size());
        if (FJob->Running())
            text += tr(" (aranıyor %1/%2)").arg(FJob->PagesDone()).arg(FJob->PageCount());
        else if (FStopped)
            text += tr(" (durduruldu)");
        if (FWrapped)
            text += FWrapped > 0 ? tr(" · sondan başa dönüldü") : tr(" · baştan sona dönüldü");
    }
    FStatus->setText(text);
}

bool TFindBar::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FEdit && Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Step(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
            return true;
        }
    }
    return QWidget::eventFilter(Watched, Event);
}

void TFindBar::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() != Qt::Key_Escape)
        return QWidget::keyPressEvent(Event);
    if (FJob->Running()) {
        FJob->Stop();
        FStopped = true;
        UpdateStatus();
    } else {
        Close();
    }
}
