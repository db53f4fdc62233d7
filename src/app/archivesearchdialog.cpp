// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archivesearchdialog.h"

#include "app/archivesettingsdialog.h"
#include "app/archivesnippet.h"
#include "app/dialogs.h"
#include "app/viewersettings.h"
#include "archive/archiveindex.h"
#include "archive/archivephrases.h"
#include "archive/pgarchiveindex.h"
#include "platform/emftext/textfold.h"
#include "platform/i18n/errortext.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

const int HitLimit = 100;
const int FileRole = Qt::UserRole;     // the path as the index has it
const int PhrasesRole = Qt::UserRole + 3; // the snippet column has the two before

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
    : QDialog(Parent, Qt::Window), FOpenHit(std::move(OpenHit)), FServer(ArchiveServer()), FPathMap(ArchivePathMap())
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
    Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ServerLabel = new QLabel(this);
    ServerLabel->setWordWrap(true);
    FolderList = new QListWidget(this);
    FolderList->setMaximumHeight(90);
    AddFolderButton = new QPushButton(tr("&Klasör Ekle..."), this);
    RemoveFolderButton = new QPushButton(tr("Kal&dır"), this);
    UpdateButton = new QPushButton(tr("&Güncelle"), this);
    SettingsButton = new QPushButton(tr("Aya&rlar..."), this);
    Progress = new QProgressBar(this);
    Progress->hide();
    // Enter belongs to the query and the hits, never to a button that had focus.
    for (QPushButton* b : {AddFolderButton, RemoveFolderButton, UpdateButton, SettingsButton})
        b->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    auto* queryLabel = new QLabel(tr("&Aranan:"), this);
    queryLabel->setBuddy(QueryEdit);
    layout->addWidget(queryLabel, 0, 0);
    layout->addWidget(QueryEdit, 0, 1);
    layout->addWidget(SettingsButton, 0, 2);
    layout->addWidget(ServerLabel, 1, 0, 1, 3);
    layout->addWidget(Hits, 2, 0, 1, 3);
    layout->addWidget(Status, 3, 0, 1, 3);
    FoldersLabel = new QLabel(tr("Arşiv k&lasörleri:"), this);
    FoldersLabel->setBuddy(FolderList);
    layout->addWidget(FoldersLabel, 4, 0, 1, 3);
    layout->addWidget(FolderList, 5, 0, 3, 2);
    layout->addWidget(AddFolderButton, 5, 2);
    layout->addWidget(RemoveFolderButton, 6, 2);
    layout->addWidget(UpdateButton, 7, 2, Qt::AlignTop);
    layout->addWidget(Progress, 8, 0, 1, 3);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(1, 1);
    resize(720, 480);

    FolderList->addItems(ArchiveFolders());
    // A query per keystroke would make a fast typist wait for every letter.
    FTyping = new QTimer(this);
    FTyping->setSingleShot(true);
    FTyping->setInterval(250);
    connect(FTyping, &QTimer::timeout, this, &TArchiveSearchDialog::RunQuery);
    FAnswer = new QTimer(this);
    FAnswer->setSingleShot(true);
    FAnswer->setInterval(ArchiveAnswerSeconds * 1000);
    connect(FAnswer, &QTimer::timeout, this, &TArchiveSearchDialog::GiveUp);
    FQueries = std::make_unique<TArchiveQueryThread>(
        QFile::encodeName(Database()).toStdString(), [this](const TArchiveQueryThread::TResult& Result) {
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
    connect(SettingsButton, &QPushButton::clicked, this, &TArchiveSearchDialog::OpenSettings);
    connect(FolderList, &QListWidget::currentRowChanged, this,
            [this](int Row) { RemoveFolderButton->setEnabled(Row >= 0 && !Updating()); });
    RemoveFolderButton->setEnabled(false);
    ShowServer();
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

QString TArchiveSearchDialog::Database() const
{
    return OnServer() ? FServer : IndexFile();
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

void TArchiveSearchDialog::OpenSettings()
{
    if (FSettings)
        return FSettings->activateWindow();
    FSettings = new TArchiveSettingsDialog(this, FServer, FPathMap);
    FSettings->setAttribute(Qt::WA_DeleteOnClose);
    connect(FSettings, &QDialog::accepted, this,
            [this, settings = FSettings] { ApplySettings(settings->Server(), settings->PathMap()); });
    FSettings->open();
}

void TArchiveSearchDialog::ApplySettings(const QString& Server, const TArchivePathMap& PathMap)
{
    SetArchiveServer(Server);
    SetArchivePathMap(PathMap);
    FPathMap = PathMap;
    if (Server == FServer)
        return;
    FServer = Server;
    FCanWrite.reset();
    FQueries->SetDatabase(QFile::encodeName(Database()).toStdString());
    FShownTicket = FTicket;
    FShownQuery.clear();
    FAnswer->stop();
    Hits->clear();
    ShowServer();
    if (OnServer() && isVisible())
        Connect();
    else
        RunQuery();
}

// Asks the server who we are to it before the first query: "Güncelle"
// waits for the answer.
void TArchiveSearchDialog::Connect()
{
    FShownTicket = FTicket;
    FTicket = FQueries->Open();
    FAnswer->start();
    Status->setText(tr("Sunucuya bağlanılıyor: %1...").arg(QString::fromStdString(ServerIndexName(FServer.toStdString()))));
}

// What the window offers follows where the index is and what this user may
// do with it: a reader of a server has nothing to update.
void TArchiveSearchDialog::ShowServer()
{
    const bool writable = !OnServer() || FCanWrite.value_or(false);
    UpdateButton->setVisible(writable);
    for (QWidget* w : std::initializer_list<QWidget*>{FoldersLabel, FolderList, AddFolderButton, RemoveFolderButton})
        w->setVisible(writable);
    SettingsButton->setEnabled(!Updating());
    ServerLabel->setVisible(OnServer());
    if (!OnServer())
        return;
    const QString name = QString::fromStdString(ServerIndexName(FServer.toStdString()));
    if (!FCanWrite)
        ServerLabel->setText(tr("Sunucudaki ortak dizin: %1").arg(name));
    else if (*FCanWrite)
        ServerLabel->setText(tr("Sunucudaki ortak dizin: %1 · güncelleme izniniz var").arg(name));
    else
        ServerLabel->setText(tr("Sunucudaki ortak dizin: %1 · yalnızca okuma").arg(name));
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
        // The index names reports by the server's paths; this machine's
        // would show as other reports to every other user.
        if (OnServer() && FPathMap.IsLocalSide(f)) {
            Status->setText(tr("%1 bu bilgisayardaki bir yol; sunucudaki dizinde raporlar sunucunun yollarıyla "
                               "durur. Güncellemeyi sunucudaki hizmete bırakın ya da klasörü sunucunun gördüğü "
                               "yolla ekleyin.")
                                .arg(f));
            return;
        }
        roots.push_back(QFile::encodeName(f).toStdString());
    }
    const QString db = Database();
    if (!OnServer())
        QDir().mkpath(QFileInfo(db).path());
    FStop = false;
    UpdateButton->setText(tr("&Durdur"));
    AddFolderButton->setEnabled(false);
    RemoveFolderButton->setEnabled(false);
    SettingsButton->setEnabled(false);
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
            summary = tr("Dizin güncellenemedi: %1").arg(TranslatedErrorText(QString::fromStdString(e.what())));
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
    SettingsButton->setEnabled(true);
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
    if (OnServer())
        Status->setText(tr("Aranacak sözcükleri yazın."));
    else if (!FolderList->count())
        Status->setText(tr("Arşiv klasörü seçilmedi: «Klasör Ekle...» ile ekleyin."));
    else if (!QFileInfo::exists(IndexFile()))
        Status->setText(tr("Arşivin dizini henüz yok: «Güncelle» ile oluşturun."));
    else
        Status->setText(tr("Aranacak sözcükleri yazın."));
}

void TArchiveSearchDialog::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (OnServer() && !FCanWrite && !Querying())
        Connect();
}

void TArchiveSearchDialog::hideEvent(QHideEvent* Event)
{
    FTyping->stop();
    FAnswer->stop();
    FQueries->Cancel();
    FShownTicket = FTicket;
    QDialog::hideEvent(Event);
}

// The server (or a disk) that does not answer: the window stops waiting.
void TArchiveSearchDialog::GiveUp()
{
    if (!Querying())
        return;
    FQueries->Cancel();
    FShownTicket = FTicket;
    FFocusHits = false;
    Status->setText(OnServer() ? tr("Sunucu %1 saniyede yanıt vermedi; arama durduruldu. "
                                    "Yeniden denemek için Enter'a basın.")
                                     .arg(ArchiveAnswerSeconds)
                               : tr("Dizin %1 saniyede yanıt vermedi; arama durduruldu.").arg(ArchiveAnswerSeconds));
}

void TArchiveSearchDialog::RunQuery()
{
    FQueries->Cancel();
    FShownTicket = FTicket;
    FAnswer->stop();
    FSummary.clear();
    const QString text = QueryEdit->text().trimmed();
    const QStringList folders = ListedFolders(FolderList);
    if (text.isEmpty() || (!OnServer() && (folders.isEmpty() || !QFileInfo::exists(IndexFile())))) {
        Hits->clear();
        FShownQuery.clear();
        return ShowState();
    }
    QStringList phrases;
    try {
        phrases = ArchiveQueryPhrases(text);
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
    FQueryPhrases = phrases;
    FQueryPattern = ArchivePhrasePattern(phrases);
    FQueryFolders = folders;
    FTicket = FQueries->Start(text, FoldCase, HitLimit);
    FAnswer->start();
    // The hits of the last query stay until the new ones come.
    Status->setText(tr("Aranıyor..."));
}

// What went wrong with the server, in the user's words; libpq and the
// server answer in English.
QString TArchiveSearchDialog::ServerTrouble(const QString& Reason, bool Connecting) const
{
    const auto has = [&](const char* Text) { return Reason.contains(QLatin1String(Text), Qt::CaseInsensitive); };
    if (has("permission denied"))
        return tr("Sunucudaki arşivi okuma izniniz yok; yöneticinizden okuma hakkı (qrp_reader) isteyin.");
    if (has("password") || has("authentication"))
        return tr("Sunucuya bağlanılamadı: sunucu kimliğinizi kabul etmedi (kullanıcı adı, parola ya da pg_hba.conf).");
    if (has("not an archive index"))
        return tr("Sunucudaki veritabanında arşiv dizini yok: yöneticiniz «qrptool index init» ile oluşturur.");
    if (has("older qrptool"))
        return tr("Sunucudaki dizin eski bir sürümle yapılmış: yöneticiniz «qrptool index init» ile günceller.");
    if (has("newer qrptool"))
        return tr("Sunucudaki dizin bu programdan yeni bir sürümle yapılmış: programı güncelleyin.");
    if (has("timeout"))
        return tr("Sunucuya bağlanılamadı: sunucu zamanında yanıt vermedi.");
    return Connecting ? tr("Sunucuya bağlanılamadı.") : tr("Sunucuda arama yapılamadı.");
}

void TArchiveSearchDialog::ShowError(const TArchiveQueryThread::TResult& Result)
{
    QString reason;
    try {
        std::rethrow_exception(Result.Error);
    } catch (const std::exception& e) {
        reason = TranslatedErrorText(QFile::decodeName(e.what()));
    }
    if (OnServer()) {
        // libpq's reasons come on several indented lines.
        reason = reason.simplified();
        return Status->setText(ServerTrouble(reason, Result.DatabaseError) + u' ' +
                               tr("(Sunucunun yanıtı: %1)").arg(reason));
    }
    if (Result.DatabaseError) {
        // SQLite's words name no file; the sentence names the index once.
        const QString file = QDir::toNativeSeparators(IndexFile());
        if (reason.startsWith(file + QStringLiteral(": ")))
            reason.remove(0, file.size() + 2);
        return Status->setText(tr("Arşivin dizini “%1” açılamadı: %2").arg(file, reason));
    }
    reason.remove(QStringLiteral("fts5: "));
    Status->setText(tr("Sorgu anlaşılmadı (tırnakları ve AND, OR, NOT "
                       "sözcüklerini denetleyin): %1")
                        .arg(reason));
}

void TArchiveSearchDialog::ShowHits(const TArchiveQueryThread::TResult& Result)
{
    // A query cancelled (the window closed) may have finished just before;
    // its hits were queued already and must not show.
    if (Result.Ticket != FTicket || !Querying())
        return;
    FShownTicket = FTicket;
    FAnswer->stop();
    if (Result.CanWrite != FCanWrite && OnServer()) {
        FCanWrite = Result.CanWrite;
        ShowServer();
    }
    if (Result.OpenOnly) {
        if (Result.Error)
            return ShowError(Result);
        // Connected: the query typed meanwhile runs now.
        if (!QueryEdit->text().trimmed().isEmpty())
            return RunQuery();
        return ShowState();
    }
    FShownQuery = FQueryText;
    Hits->clear();
    const bool focus = std::exchange(FFocusHits, false);
    if (Result.Error) {
        FShownQuery.clear();
        return ShowError(Result);
    }
    for (const TIndexHit& h : Result.Hits) {
        // Paths are the file system's bytes, whatever their encoding.
        const QString file = QFile::decodeName(QByteArray::fromStdString(h.File));
        // Reports of a folder taken off the list stay in the index until it
        // is rebuilt; a server's index is the whole office's.
        if (!OnServer() && !UnderAny(file, FQueryFolders))
            continue;
        auto* item = new QTreeWidgetItem(Hits);
        item->setText(0, QFileInfo(file).fileName());
        const QString local = OnServer() ? FPathMap.ToLocal(file) : file;
        item->setToolTip(0, local == file ? file : tr("%1\n(sunucuda: %2)").arg(local, file));
        item->setData(0, FileRole, file);
        item->setData(0, PhrasesRole, FQueryPhrases);
        item->setText(1, QString::number(h.Page));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, h.Snippet);
        item->setToolTip(2, h.Snippet);
        item->setData(2, TSnippetDelegate::SnippetRole, h.Snippet);
        QVariantList marks;
        for (const QPoint& m : SnippetMarks(h, FQueryPattern))
            marks << m;
        item->setData(2, TSnippetDelegate::MarksRole, marks);
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

QList<QPoint> TArchiveSearchDialog::HitMarks(int Row) const
{
    QList<QPoint> marks;
    if (QTreeWidgetItem* item = Hits->topLevelItem(Row))
        for (const QVariant& v : item->data(2, TSnippetDelegate::MarksRole).toList())
            marks << v.toPoint();
    return marks;
}

void TArchiveSearchDialog::OpenHit(QTreeWidgetItem* Item)
{
    if (!Item || !FOpenHit)
        return;
    const QString stored = Item->data(0, FileRole).toString();
    const QString file = OnServer() ? FPathMap.ToLocal(stored) : stored;
    if (!QFileInfo::exists(file)) {
        if (!OnServer())
            Status->setText(tr("Rapor artık yok: %1 («Güncelle» dizini düzeltir).").arg(file));
        else if (file != stored)
            Status->setText(tr("Rapor bu bilgisayarda bulunamadı: %1 (sunucudaki yolu: %2). "
                               "Paylaşımın bağlı olduğunu ve «Ayarlar...» içindeki yol eşlemesini denetleyin.")
                                .arg(file, stored));
        else
            Status->setText(tr("Rapor bu bilgisayarda bulunamadı: %1 (sunucudaki yolu). Bu bilgisayarda başka "
                               "bir yerdeyse «Ayarlar...» içinde bir yol eşlemesi ekleyin.")
                                .arg(stored));
        return;
    }
    RunReportingErrors(this,
                       [&] { FOpenHit(file, Item->text(1).toInt(), Item->data(0, PhrasesRole).toStringList()); });
}
