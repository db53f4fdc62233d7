// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archivesearchdialog.h"

#include "app/dialogs.h"
#include "app/viewersettings.h"
#include "platform/emftext/textfold.h"
#include "archive/archiveindex.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

const int HitLimit = 100;
const int FileRole = Qt::UserRole;
const int HtmlRole = Qt::UserRole + 1;
const int WordsRole = Qt::UserRole + 2;

// The snippet column as rich text, so that the words found stand out.
class TSnippetDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        QStyleOptionViewItem o = Option;
        initStyleOption(&o, Index);
        o.text.clear();
        QStyle* style = o.widget ? o.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &o, Painter, o.widget);
        QTextDocument doc;
        doc.setDefaultFont(o.font);
        doc.setDocumentMargin(0);
        doc.setHtml(Index.data(HtmlRole).toString());
        const QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &o, o.widget);
        Painter->save();
        Painter->setClipRect(r);
        Painter->translate(r.left(), r.top() + (r.height() - doc.size().height()) / 2);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(
            QPalette::Text,
            o.palette.color(o.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        doc.documentLayout()->draw(Painter, context);
        Painter->restore();
    }
};

QString MarkedHtml(const TIndexHit& Hit)
{
    std::vector<std::pair<int, int>> marks = Hit.Marks;
    std::sort(marks.begin(), marks.end());
    QString html;
    int at = 0;
    for (const auto& [start, length] : marks) {
        if (start < at)
            continue;
        html += Hit.Snippet.mid(at, start - at).toHtmlEscaped();
        html += QStringLiteral("<span style=\"background-color:#ffe600;color:black\">") +
                Hit.Snippet.mid(start, length).toHtmlEscaped() + QStringLiteral("</span>");
        at = start + length;
    }
    return html + Hit.Snippet.mid(at).toHtmlEscaped();
}

bool UnderAny(const QString& File, const QStringList& Folders)
{
    return std::any_of(Folders.begin(), Folders.end(), [&](const QString& f) {
        const QString dir = QDir::cleanPath(f);
        return File.startsWith(dir.endsWith(u'/') ? dir : dir + u'/');
    });
}

QStringList ListedFolders(const QListWidget* List)
{
    QStringList folders;
    for (int i = 0; i < List->count(); ++i)
        folders << List->item(i)->text();
    return folders;
}

} // namespace

TArchiveSearchDialog::TArchiveSearchDialog(QWidget* Parent, TOpenHit OpenHit)
    : QDialog(Parent, Qt::Window), FOpenHit(std::move(OpenHit))
{
    setWindowTitle(tr("Arşivde Ara"));
    QueryEdit = new QLineEdit(this);
    QueryEdit->setPlaceholderText(tr("sözcükler, \"tümceler\", önek*, AND, OR, NOT"));
    QueryEdit->setClearButtonEnabled(true);
    Hits = new QTreeWidget(this);
    Hits->setColumnCount(3);
    Hits->setHeaderLabels({tr("Rapor"), tr("Sayfa"), tr("Metin")});
    Hits->setRootIsDecorated(false);
    Hits->setUniformRowHeights(true);
    Hits->setItemDelegateForColumn(2, new TSnippetDelegate(Hits));
    Hits->header()->setStretchLastSection(true);
    Hits->setColumnWidth(0, 220);
    Hits->setColumnWidth(1, 50);
    Status = new QLabel(this);
    Status->setWordWrap(true);
    FolderList = new QListWidget(this);
    FolderList->setMaximumHeight(90);
    AddFolderButton = new QPushButton(tr("&Klasör Ekle..."), this);
    RemoveFolderButton = new QPushButton(tr("Kal&dır"), this);
    UpdateButton = new QPushButton(tr("&Güncelle"), this);
    Progress = new QProgressBar(this);
    Progress->hide();
    // Enter belongs to the query and the hits, never to a button that had focus.
    for (QPushButton* b : {AddFolderButton, RemoveFolderButton, UpdateButton})
        b->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    auto* queryLabel = new QLabel(tr("&Aranan:"), this);
    queryLabel->setBuddy(QueryEdit);
    layout->addWidget(queryLabel, 0, 0);
    layout->addWidget(QueryEdit, 0, 1, 1, 2);
    layout->addWidget(Hits, 1, 0, 1, 3);
    layout->addWidget(Status, 2, 0, 1, 3);
    auto* foldersLabel = new QLabel(tr("Arşiv k&lasörleri:"), this);
    foldersLabel->setBuddy(FolderList);
    layout->addWidget(foldersLabel, 3, 0, 1, 3);
    layout->addWidget(FolderList, 4, 0, 3, 2);
    layout->addWidget(AddFolderButton, 4, 2);
    layout->addWidget(RemoveFolderButton, 5, 2);
    layout->addWidget(UpdateButton, 6, 2, Qt::AlignTop);
    layout->addWidget(Progress, 7, 0, 1, 3);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);
    resize(720, 480);

    FolderList->addItems(ArchiveFolders());
    // A query per keystroke would make a fast typist wait for every letter.
    FTyping = new QTimer(this);
    FTyping->setSingleShot(true);
    FTyping->setInterval(250);
    connect(FTyping, &QTimer::timeout, this, &TArchiveSearchDialog::RunQuery);
    FQueries = std::make_unique<TArchiveQueryThread>(
        QFile::encodeName(IndexFile()).toStdString(), [this](const TArchiveQueryThread::TResult& Result) {
            QMetaObject::invokeMethod(
                this, [this, Result] { ShowHits(Result); }, Qt::QueuedConnection);
        });
    // The query running is for a text no longer there.
    connect(QueryEdit, &QLineEdit::textChanged, this, [this] {
        FQueries->Cancel();
        FTyping->start();
    });
    connect(QueryEdit, &QLineEdit::returnPressed, this, [this] {
        FTyping->stop();
        if (!Querying() && FShownQuery == QueryEdit->text().trimmed() && !FShownQuery.isEmpty())
            return FocusFirstHit();
        FFocusHits = true;
        RunQuery();
    });
    connect(Hits, &QTreeWidget::itemActivated, this, &TArchiveSearchDialog::OpenHit);
    connect(AddFolderButton, &QPushButton::clicked, this, &TArchiveSearchDialog::AddFolder);
    connect(RemoveFolderButton, &QPushButton::clicked, this, &TArchiveSearchDialog::RemoveFolder);
    connect(UpdateButton, &QPushButton::clicked, this, &TArchiveSearchDialog::StartOrStopUpdate);
    connect(FolderList, &QListWidget::currentRowChanged, this,
            [this](int Row) { RemoveFolderButton->setEnabled(Row >= 0 && !Updating()); });
    RemoveFolderButton->setEnabled(false);
    ShowState();
}

TArchiveSearchDialog::~TArchiveSearchDialog()
{
    FQueries.reset();
    // The update stops after the report at hand; what it wrote stays.
    FStop = true;
    if (FUpdate.joinable())
        FUpdate.join();
}

QString TArchiveSearchDialog::IndexFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/archive.db");
}

void TArchiveSearchDialog::AddFolder()
{
    QFileDialog dialog(this, tr("Arşiv Klasörü"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    const std::optional<QString> chosen = ExecuteFileDialog(dialog);
    if (!chosen)
        return;
    const QString folder = QDir::cleanPath(QFileInfo(*chosen).absoluteFilePath());
    if (!ListedFolders(FolderList).contains(folder))
        FolderList->addItem(folder);
    SaveFolders();
}

void TArchiveSearchDialog::RemoveFolder()
{
    delete FolderList->currentItem();
    SaveFolders();
}

void TArchiveSearchDialog::SaveFolders()
{
    SetArchiveFolders(ListedFolders(FolderList));
    RunQuery();
}

void TArchiveSearchDialog::StartOrStopUpdate()
{
    if (Updating()) {
        FStop = true;
        UpdateButton->setEnabled(false);
        Status->setText(tr("Durduruluyor..."));
        return;
    }
    const QStringList folders = ListedFolders(FolderList);
    if (folders.isEmpty())
        return ShowState();
    std::vector<std::string> roots;
    for (const QString& f : folders) {
        // An unplugged disk must not read as an archive whose reports are all gone.
        if (!QFileInfo(f).isDir()) {
            Status->setText(tr("Klasör bulunamadı: %1").arg(f));
            return;
        }
        roots.push_back(QFile::encodeName(f).toStdString());
    }
    const QString db = IndexFile();
    QDir().mkpath(QFileInfo(db).path());
    FStop = false;
    UpdateButton->setText(tr("&Durdur"));
    AddFolderButton->setEnabled(false);
    RemoveFolderButton->setEnabled(false);
    Progress->setRange(0, 0);
    Progress->show();
    Status->setText(tr("Dizin güncelleniyor..."));
    FUpdate = std::thread([this, roots, file = QFile::encodeName(db).toStdString()] {
        QString summary;
        try {
            TArchiveIndex index(file);
            TIndexUpdateOptions options;
            options.Jobs = int(std::max(1u, std::thread::hardware_concurrency()));
            auto shown = std::chrono::steady_clock::now();
            options.Progress = [&](size_t Done, size_t Total) {
                const auto now = std::chrono::steady_clock::now();
                if (Done != Total && now - shown < std::chrono::milliseconds(100))
                    return;
                shown = now;
                QMetaObject::invokeMethod(
                    this,
                    [this, Done, Total] {
                        Progress->setRange(0, int(Total));
                        Progress->setValue(int(Done));
                    },
                    Qt::QueuedConnection);
            };
            QStringList damaged, unreadable;
            options.Damaged = [&](const std::string& File, const std::string&) {
                damaged << QFileInfo(QFile::decodeName(QByteArray::fromStdString(File))).fileName();
            };
            // What cannot be read, or a folder that is empty now, keeps its reports in the index.
            options.Unreadable = [&](const std::string& Path, const std::string&) {
                unreadable << QFile::decodeName(QByteArray::fromStdString(Path));
            };
            options.EmptyFolder = [&](const std::string& Folder, int64_t) {
                unreadable << QFile::decodeName(QByteArray::fromStdString(Folder));
            };
            options.Stop = &FStop;
            const TIndexUpdateStats s = index.Update(roots, options);
            summary = tr("%1eklenen %2, güncellenen %3, silinen %4, değişmeyen %5, hasarlı %6")
                          .arg(FStop ? tr("Durduruldu: ") : QString())
                          .arg(s.Added)
                          .arg(s.Updated)
                          .arg(s.Removed)
                          .arg(s.Unchanged)
                          .arg(s.Damaged);
            if (!damaged.isEmpty())
                summary += tr(" (okunamayan: %1%2)")
                               .arg(damaged.mid(0, 3).join(QStringLiteral(", ")))
                               .arg(damaged.size() > 3 ? QStringLiteral(", ...") : QString());
            if (!unreadable.isEmpty())
                summary += tr(" (erişilemeyen, dizindeki raporları korundu: %1%2)")
                               .arg(unreadable.mid(0, 3).join(QStringLiteral(", ")))
                               .arg(unreadable.size() > 3 ? QStringLiteral(", ...") : QString());
        } catch (const std::exception& e) {
            summary = tr("Dizin güncellenemedi: %1").arg(QString::fromStdString(e.what()));
        }
        QMetaObject::invokeMethod(
            this, [this, summary] { UpdateDone(summary); }, Qt::QueuedConnection);
    });
}

void TArchiveSearchDialog::UpdateDone(const QString& Summary)
{
    FUpdate.join();
    UpdateButton->setText(tr("&Güncelle"));
    UpdateButton->setEnabled(true);
    AddFolderButton->setEnabled(true);
    RemoveFolderButton->setEnabled(FolderList->currentRow() >= 0);
    Progress->hide();
    RunQuery();
    // The count of hits follows when they come.
    FSummary = Querying() ? Summary : QString();
    Status->setText(Summary);
    emit UpdateFinished();
}

// Says what is missing before anything can be found.
void TArchiveSearchDialog::ShowState()
{
    if (!FolderList->count())
        Status->setText(tr("Arşiv klasörü seçilmedi: «Klasör Ekle...» ile ekleyin."));
    else if (!QFileInfo::exists(IndexFile()))
        Status->setText(tr("Arşivin dizini henüz yok: «Güncelle» ile oluşturun."));
    else
        Status->setText(tr("Aranacak sözcükleri yazın."));
}

void TArchiveSearchDialog::hideEvent(QHideEvent* Event)
{
    FTyping->stop();
    FQueries->Cancel();
    FShownTicket = FTicket;
    QDialog::hideEvent(Event);
}

void TArchiveSearchDialog::RunQuery()
{
    FQueries->Cancel();
    FShownTicket = FTicket;
    FSummary.clear();
    const QString text = QueryEdit->text().trimmed();
    const QStringList folders = ListedFolders(FolderList);
    if (text.isEmpty() || folders.isEmpty() || !QFileInfo::exists(IndexFile())) {
        Hits->clear();
        FShownQuery.clear();
        return ShowState();
    }
    QStringList words;
    try {
        for (const QString& w : ArchiveQueryWords(text))
            words << w;
    } catch (const EArchiveQueryTooLong&) {
        Hits->clear();
        FShownQuery.clear();
        Status->setText(tr("Sorgu çok uzun: en çok %1 sözcük aranabilir.").arg(ArchiveQueryMaxWords));
        return;
    } catch (const EArchiveIndex&) {
        Hits->clear();
        FShownQuery.clear();
        Status->setText(tr("Aranacak sözcük yok."));
        return;
    }
    FQueryText = text;
    FQueryWords = words;
    FQueryFolders = folders;
    FTicket = FQueries->Start(text, FoldCase, HitLimit);
    // The hits of the last query stay until the new ones come.
    Status->setText(tr("Aranıyor..."));
}

void TArchiveSearchDialog::ShowHits(const TArchiveQueryThread::TResult& Result)
{
    // A query cancelled (the window closed) may have finished just before;
    // its hits were queued already and must not show.
    if (Result.Ticket != FTicket || !Querying())
        return;
    FShownTicket = FTicket;
    FShownQuery = FQueryText;
    Hits->clear();
    const bool focus = std::exchange(FFocusHits, false);
    if (Result.Error) {
        FShownQuery.clear();
        try {
            std::rethrow_exception(Result.Error);
        } catch (const std::exception& e) {
            QString reason = QFile::decodeName(e.what());
            if (Result.DatabaseError)
                return Status->setText(tr("Arşivin dizini açılamadı: %1").arg(reason));
            reason.remove(QStringLiteral("fts5: "));
            Status->setText(tr("Sorgu anlaşılmadı (tırnakları ve AND, OR, NOT "
                                           "sözcüklerini denetleyin): %1")
                                .arg(reason));
        }
        return;
    }
    for (const TIndexHit& h : Result.Hits) {
        // Paths are the file system's bytes, whatever their encoding.
        const QString file = QFile::decodeName(QByteArray::fromStdString(h.File));
        // Reports of a folder taken off the list stay in the index until it is rebuilt.
        if (!UnderAny(file, FQueryFolders))
            continue;
        auto* item = new QTreeWidgetItem(Hits);
        item->setText(0, QFileInfo(file).fileName());
        item->setToolTip(0, file);
        item->setData(0, FileRole, file);
        item->setData(0, WordsRole, FQueryWords);
        item->setText(1, QString::number(h.Page));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, h.Snippet);
        item->setData(2, HtmlRole, MarkedHtml(h));
    }
    const int n = Hits->topLevelItemCount();
    if (!FSummary.isEmpty())
        Status->setText(FSummary + (n ? tr(" · %1 sonuç").arg(n) : QString()));
    else
        Status->setText(n == 0                                ? tr("Bulunamadı.")
                        : int(Result.Hits.size()) == HitLimit ? tr("En iyi %1 sonuç.").arg(n)
                                                              : tr("%1 sonuç.").arg(n));
    FSummary.clear();
    if (focus)
        FocusFirstHit();
}

void TArchiveSearchDialog::FocusFirstHit()
{
    if (Hits->topLevelItemCount()) {
        Hits->setCurrentItem(Hits->topLevelItem(0));
        Hits->setFocus(Qt::OtherFocusReason);
    }
}

void TArchiveSearchDialog::OpenHit(QTreeWidgetItem* Item)
{
    if (!Item || !FOpenHit)
        return;
    const QString file = Item->data(0, FileRole).toString();
    if (!QFileInfo::exists(file)) {
        Status->setText(tr("Rapor artık yok: %1 («Güncelle» dizini düzeltir).").arg(file));
        return;
    }
    RunReportingErrors(this, [&] { FOpenHit(file, Item->text(1).toInt(), Item->data(0, WordsRole).toStringList()); });
}
