#pragma once
// The viewer's main window: a small window with a menu bar. It makes
// the viewer's window the preview of every report document, registers the
// file association, and opens the report of the command line or of the
// open dialog into its one document.
#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <optional>

class QAction;
class QFileDialog;
class QMenu;
class QMenuBar;
class TArchiveSearchDialog;
class TQRPrinter;

class Tfrmzizarud : public QMainWindow {
    Q_OBJECT
public:
    // Args: the command line without the program itself.
    explicit Tfrmzizarud(QStringList Args = QStringList(), QWidget* Parent = nullptr);
    ~Tfrmzizarud() override;

    QFileDialog* acdialog = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Rapor1 = nullptr;
    QAction* RaporA1 = nullptr;
    QAction* k1 = nullptr;
    QMenu* Yardm1 = nullptr;
    QAction* Hakknda1 = nullptr;
    QMenu* RecentMenu = nullptr;
    QAction* ExportAction = nullptr;
    QAction* ArchiveSearchAction = nullptr;

    TQRPrinter* QRPrinter() const { return MyQRPrinter.get(); }
    // The report name the command line gave at the last start-up.
    QString CommandLineReport() const { return FCommandLineReport; }

    void RaporA1Click();
    void k1Click();
    void Hakknda1Click();
    void OpenReport(const QString& FileName);
    void ExportReport();
    // Shows the archive search window, made on first use.
    TArchiveSearchDialog* ShowArchiveSearch();
    // Opens File at Page with Words marked by the preview's find bar.
    void OpenReportAt(const QString& File, int Page, const QStringList& Words);

    // The About text: seven lines, the last one fixed.
    static QString AboutText();

signals:
    // The user closed the main window: the program ends.
    void Closed();

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    void FormCreate();
    void FormShow();
    void BuildMenu();
    void FillRecentMenu();
    std::optional<QString> AskForReport();

    QStringList FArguments;
    QString FCommandLineReport;
    bool FStarted = false;
    std::unique_ptr<TQRPrinter> MyQRPrinter;
    TArchiveSearchDialog* FArchiveSearch = nullptr;
};
