// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/virtualconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <functional>
#include <map>

namespace {

class TConfigError {
public:
    explicit TConfigError(QString M) : Message(std::move(M)) {}
    QString Message;
};

bool ParseBool(const QString& V)
{
    QString v = V.toLower();
    if (v == "yes" || v == "true" || v == "1" || v == "on")
        return true;
    if (v == "no" || v == "false" || v == "0" || v == "off")
        return false;
    throw TConfigError("expected yes or no, not \"" + V + "\"");
}

long ParseInt(const QString& V, long Min, long Max)
{
    bool ok = false;
    long n = V.startsWith("0x", Qt::CaseInsensitive) ? V.mid(2).toLong(&ok, 16) : V.toLong(&ok, 10);
    if (!ok || n < Min || n > Max)
        throw TConfigError(QString("expected a whole number from %1 to %2, not \"%3\"").arg(Min).arg(Max).arg(V));
    return n;
}

// "a b c" or "a, b, c".
QStringList Items(const QString& V)
{
    return V.split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts);
}

std::vector<int16_t> Codes(const QString& V)
{
    std::vector<int16_t> codes;
    for (const QString& item : Items(V))
        codes.push_back(static_cast<int16_t>(ParseInt(item, 1, 32767)));
    return codes;
}

// "600" or "600x300".
void ParsePair(const QString& V, double Min, double Max, double& A, double& B)
{
    QStringList parts = V.split(QRegularExpression("\\s*[xX*\\s,]\\s*"));
    bool ok1 = false, ok2 = true;
    if (parts.size() == 1 || parts.size() == 2) {
        A = parts[0].toDouble(&ok1);
        B = parts.size() == 2 ? parts[1].toDouble(&ok2) : A;
    }
    if (!ok1 || !ok2 || !(A >= Min && A <= Max) || !(B >= Min && B <= Max))
        throw TConfigError(QString("expected one or two numbers from %1 to %2, not \"%3\"").arg(Min).arg(Max).arg(V));
}

int16_t Orientation(const QString& V)
{
    QString v = V.toLower();
    if (v == "portrait" || v == "1")
        return DMORIENT_PORTRAIT;
    if (v == "landscape" || v == "2")
        return DMORIENT_LANDSCAPE;
    throw TConfigError("expected portrait or landscape, not \"" + V + "\"");
}

using TSetter = std::function<void(TVirtualPrinter&, const QString&)>;

const std::map<QString, TSetter>& PrinterKeys()
{
    static const std::map<QString, TSetter> keys = {
        {"driver", [](TVirtualPrinter& p, const QString& v) { p.Caps.Driver = v; }},
        {"port", [](TVirtualPrinter& p, const QString& v) { p.Caps.Port = v; }},
        {"resolution",
         [](TVirtualPrinter& p, const QString& v) {
             double x, y;
             ParsePair(v, 1, 9600, x, y);
             p.Caps.DpiX = static_cast<int>(x);
             p.Caps.DpiY = static_cast<int>(y);
         }},
        {"papers", [](TVirtualPrinter& p, const QString& v) { p.Caps.PaperCodes = Codes(v); }},
        {"bins", [](TVirtualPrinter& p, const QString& v) { p.Caps.Bins = Codes(v); }},
        {"copies", [](TVirtualPrinter& p, const QString& v) { p.Caps.Copies = ParseBool(v); }},
        {"duplex", [](TVirtualPrinter& p, const QString& v) { p.Caps.Duplex = ParseBool(v); }},
        {"collate", [](TVirtualPrinter& p, const QString& v) { p.Caps.Collate = ParseBool(v); }},
        {"sheet",
         [](TVirtualPrinter& p, const QString& v) {
             double w, h;
             ParsePair(v, 1, 10000, w, h);
             p.SheetMm = QSizeF(w, h);
         }},
        {"offset",
         [](TVirtualPrinter& p, const QString& v) {
             double x, y;
             ParsePair(v, 0, 100000, x, y);
             p.OffsetX = static_cast<int>(x);
             p.OffsetY = static_cast<int>(y);
         }},
        {"mode.paper",
         [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmPaperSize = ParseInt(v, 0, 32767); }},
        {"mode.width",
         [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmPaperWidth = ParseInt(v, 0, 32767); }},
        {"mode.length",
         [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmPaperLength = ParseInt(v, 0, 32767); }},
        {"mode.orientation",
         [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmOrientation = Orientation(v); }},
        {"mode.source",
         [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmDefaultSource = ParseInt(v, 0, 32767); }},
        {"mode.duplex", [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmDuplex = ParseInt(v, 1, 3); }},
        {"mode.collate", [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmCollate = ParseInt(v, 0, 1); }},
        {"mode.quality",
         [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmPrintQuality = ParseInt(v, -4, 32767); }},
        {"mode.color", [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmColor = ParseInt(v, 1, 2); }},
        {"mode.copies", [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmCopies = ParseInt(v, 1, 32767); }},
        {"mode.fields",
         [](TVirtualPrinter& p, const QString& v) { p.Caps.Defaults.dmFields = ParseInt(v, 0, 0xFFFF); }},
    };
    return keys;
}

// The fields a driver announces follow from what it offers, unless the file
// spells them out with mode.fields.
void AnnounceFields(TVirtualPrinter& Printer, bool FieldsGiven)
{
    DEVMODEW& m = Printer.Caps.Defaults;
    if (!m.dmPrintQuality)
        m.dmPrintQuality = static_cast<int16_t>(Printer.Caps.DpiX);
    if (!m.dmColor)
        m.dmColor = DMCOLOR_COLOR;
    if (!m.dmDefaultSource && !Printer.Caps.Bins.empty())
        m.dmDefaultSource = Printer.Caps.Bins.front();
    if (FieldsGiven)
        return;
    m.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PRINTQUALITY | DM_COLOR;
    if (m.dmPaperSize == DMPAPER_USER)
        m.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
    if (Printer.Caps.Copies)
        m.dmFields |= DM_COPIES;
    if (!Printer.Caps.Bins.empty())
        m.dmFields |= DM_DEFAULTSOURCE;
    if (Printer.Caps.Duplex)
        m.dmFields |= DM_DUPLEX;
    if (Printer.Caps.Collate)
        m.dmFields |= DM_COLLATE;
}

} // namespace

TVirtualConfig ParseVirtualConfig(const QString& Text, const QString& Origin)
{
    TVirtualConfig config;
    std::vector<bool> fieldsGiven;
    const QStringList lines = Text.split('\n');
    int lineNo = 0;
    try {
        for (QString line : lines) {
            ++lineNo;
            line = line.trimmed();
            if (line.isEmpty() || line.startsWith('#') || line.startsWith(';'))
                continue;
            if (line.startsWith('[')) {
                if (!line.endsWith(']') || line.size() < 3)
                    throw TConfigError("a printer section is written [Printer name]");
                TVirtualPrinter p;
                p.Caps.Name = line.mid(1, line.size() - 2).trimmed();
                for (const TVirtualPrinter& q : config.Printers)
                    if (q.Caps.Name == p.Caps.Name)
                        throw TConfigError("printer \"" + p.Caps.Name + "\" is described twice");
                p.Caps.Driver = "Virtual PDF";
                p.Caps.Port = "FILE:";
                config.Printers.push_back(p);
                fieldsGiven.push_back(false);
                continue;
            }
            int eq = line.indexOf('=');
            if (eq <= 0)
                throw TConfigError("expected key = value or [Printer name]");
            QString key = line.left(eq).trimmed().toLower();
            QString value = line.mid(eq + 1).trimmed();
            if (config.Printers.empty()) {
                if (key != "output")
                    throw TConfigError("\"" + key + "\" belongs in a [Printer name] section");
                config.Output = value;
                continue;
            }
            TVirtualPrinter& p = config.Printers.back();
            if (key == "default") {
                if (ParseBool(value)) {
                    if (config.DefaultIndex >= 0)
                        throw TConfigError("only one printer can be the default");
                    config.DefaultIndex = static_cast<int>(config.Printers.size()) - 1;
                }
                continue;
            }
            auto setter = PrinterKeys().find(key);
            if (setter == PrinterKeys().end())
                throw TConfigError("unknown key \"" + key + "\"");
            setter->second(p, value);
            if (key == "mode.fields")
                fieldsGiven.back() = true;
        }
    } catch (const TConfigError& e) {
        throw EPrinter(QString("%1:%2: %3").arg(Origin).arg(lineNo).arg(e.Message).toStdString());
    }
    for (size_t i = 0; i < config.Printers.size(); ++i)
        AnnounceFields(config.Printers[i], fieldsGiven[i]);
    return config;
}

TVirtualConfig LoadVirtualConfig(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EPrinter("Cannot read the virtual printer configuration " + FileName.toStdString() + ": " +
                       file.errorString().toStdString());
    // A configuration is a few lines; anything huge is not one.
    const qint64 limit = 1 << 20;
    if (file.size() > limit)
        throw EPrinter("The virtual printer configuration " + FileName.toStdString() + " is larger than 1 MB");
    TVirtualConfig config = ParseVirtualConfig(QString::fromUtf8(file.read(limit)), FileName);
    if (!config.Output.isEmpty())
        config.Output = QFileInfo(FileName).dir().absoluteFilePath(config.Output);
    return config;
}
