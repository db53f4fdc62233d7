// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/print/cupsqueue.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

namespace {

// The parts of the libcups ABI used here; stable since CUPS 1.1.
struct cups_option_t {
    char* name;
    char* value;
};
struct cups_dest_t {
    char *name, *instance;
    int is_default;
    int num_options;
    cups_option_t* options;
};
constexpr unsigned CUPS_PRINTER_COPIES = 0x40;

struct TLibCups {
    cups_dest_t* (*GetNamedDest)(void*, const char*, const char*) = nullptr;
    const char* (*GetOption)(const char*, int, cups_option_t*) = nullptr;
    void (*FreeDests)(int, cups_dest_t*) = nullptr;
    const char* (*GetPPD)(const char*) = nullptr;
    int (*PrintFile)(const char*, const char*, const char*, int, cups_option_t*) = nullptr;
    const char* (*LastErrorString)() = nullptr;
    bool Ok = false;

    TLibCups()
    {
        void* lib = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return;
        GetNamedDest = reinterpret_cast<decltype(GetNamedDest)>(dlsym(lib, "cupsGetNamedDest"));
        GetOption = reinterpret_cast<decltype(GetOption)>(dlsym(lib, "cupsGetOption"));
        FreeDests = reinterpret_cast<decltype(FreeDests)>(dlsym(lib, "cupsFreeDests"));
        GetPPD = reinterpret_cast<decltype(GetPPD)>(dlsym(lib, "cupsGetPPD"));
        PrintFile = reinterpret_cast<decltype(PrintFile)>(dlsym(lib, "cupsPrintFile"));
        LastErrorString = reinterpret_cast<decltype(LastErrorString)>(dlsym(lib, "cupsLastErrorString"));
        Ok = GetNamedDest && GetOption && FreeDests;
    }
};

const TLibCups& LibCups()
{
    static const TLibCups lib;
    return lib;
}

} // namespace

void ParsePpdInputSlots(const QByteArray& Ppd, QStringList& Slots, QString& Default)
{
    static const QRegularExpression slot("^\\*InputSlot\\s+([^/:\\s]+)");
    static const QRegularExpression def("^\\*DefaultInputSlot:\\s*(\\S+)");
    for (const QByteArray& raw : Ppd.split('\n')) {
        QString line = QString::fromLatin1(raw.trimmed());
        QRegularExpressionMatch m = slot.match(line);
        if (m.hasMatch() && !Slots.contains(m.captured(1)))
            Slots << m.captured(1);
        m = def.match(line);
        if (m.hasMatch())
            Default = m.captured(1);
    }
}

int16_t BinCodeForInputSlot(const QString& Keyword, int Position)
{
    static const struct {
        const char* Name;
        int16_t Code;
    } names[] = {
        {"upper", 1},          {"top", 1},       {"tray1", 1},       {"onlyone", 1},        {"lower", 2},
        {"bottom", 2},         {"tray2", 2},     {"middle", 3},      {"tray3", 3},          {"manual", 4},
        {"manualfeed", 4},     {"envelope", 5},  {"envmanual", 6},   {"manualenvelope", 6}, {"auto", 7},
        {"autoselect", 7},     {"default", 7},   {"tractor", 8},     {"smallformat", 9},    {"largeformat", 10},
        {"largecapacity", 11}, {"cassette", 14}, {"formsource", 15},
    };
    QString k = Keyword.toLower();
    k.remove('-');
    k.remove('_');
    for (const auto& n : names)
        if (k == QLatin1String(n.Name))
            return n.Code;
    return static_cast<int16_t>(257 + std::max(0, std::min(Position, 1000)));
}

TCupsQueue QueryCupsQueue(const QString& Name)
{
    TCupsQueue q;
    const TLibCups& cups = LibCups();
    if (!cups.Ok)
        return q;
    QByteArray name = Name.toUtf8();
    if (cups_dest_t* dest = cups.GetNamedDest(nullptr, name.constData(), nullptr)) {
        if (const char* type = cups.GetOption("printer-type", dest->num_options, dest->options)) {
            bool ok = false;
            unsigned bits = QByteArray(type).toUInt(&ok);
            if (ok) {
                q.Known = true;
                q.Copies = bits & CUPS_PRINTER_COPIES;
            }
        }
        cups.FreeDests(1, dest);
    }
    if (cups.GetPPD) {
        // libcups copies the PPD into a temporary file that is ours to delete.
        if (const char* path = cups.GetPPD(name.constData())) {
            QFile ppd(QString::fromLocal8Bit(path));
            if (ppd.open(QIODevice::ReadOnly))
                ParsePpdInputSlots(ppd.read(16 << 20), q.InputSlots, q.DefaultInputSlot);
            if (std::strncmp(path, "/etc/", 5) != 0) // never the queue's own PPD
                ::unlink(path);
        }
    }
    return q;
}

int SubmitCupsJob(const QString& Queue, const QString& File, const QString& Title, const QStringList& Options,
                  QString& Error)
{
    const TLibCups& cups = LibCups();
    if (!cups.PrintFile) {
        Error = QStringLiteral("libcups.so.2 cannot be loaded");
        return 0;
    }
    std::vector<std::pair<QByteArray, QByteArray>> named;
    for (int i = 0; i + 1 < Options.size(); i += 2) {
        const QByteArray name = Options[i].toUtf8(), value = Options[i + 1].toUtf8();
        auto same = std::find_if(named.begin(), named.end(), [&](const auto& o) { return o.first == name; });
        if (same != named.end())
            same->second = value;
        else
            named.emplace_back(name, value);
    }
    std::vector<cups_option_t> options;
    for (auto& o : named)
        options.push_back({o.first.data(), o.second.data()});
    // A queue instance ("name/instance") is printed on its queue.
    const QByteArray queue = Queue.section(QLatin1Char('/'), 0, 0).toUtf8();
    const int id = cups.PrintFile(queue.constData(), File.toLocal8Bit().constData(), Title.toUtf8().constData(),
                                  static_cast<int>(options.size()), options.empty() ? nullptr : options.data());
    if (id <= 0) {
        const char* reason = cups.LastErrorString ? cups.LastErrorString() : nullptr;
        Error = reason && *reason ? QString::fromUtf8(reason) : QStringLiteral("the print server refused it");
        return 0;
    }
    return id;
}
