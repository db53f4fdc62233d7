// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/i18n/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

const QString Catalogue = QStringLiteral("qrpview");

// Installed programs find the catalogue beside their prefix (bin/ and
// libexec/qrpview/); a build tree finds the one it compiled.
QStringList CandidateDirs()
{
    QStringList dirs;
    // Without an application object Qt cannot say where the program lies.
    const QString appDir = QCoreApplication::instance()
                               ? QCoreApplication::applicationDirPath()
                               : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (!appDir.isEmpty()) {
        dirs << QDir(appDir).absoluteFilePath(QStringLiteral("../share/qrpview/translations"))
             << QDir(appDir).absoluteFilePath(QStringLiteral("../../share/qrpview/translations"));
    }
#ifdef QRP_INSTALLED_TRANSLATIONS
    dirs << QStringLiteral(QRP_INSTALLED_TRANSLATIONS);
#endif
#ifdef QRP_BUILD_TRANSLATIONS
    dirs << QStringLiteral(QRP_BUILD_TRANSLATIONS);
#endif
    return dirs;
}

bool LoadOwn(QTranslator& Translator, const QLocale& Locale)
{
    for (const QString& dir : CandidateDirs())
        if (Translator.load(Locale, Catalogue, QStringLiteral("_"), dir))
            return true;
    return false;
}

} // namespace

std::vector<QTranslator*> InstallTranslations(QCoreApplication& App, const QLocale& Locale)
{
    std::vector<QTranslator*> installed;
    auto* own = new QTranslator(&App);
    if (LoadOwn(*own, Locale))
        installed.push_back(own);
    else
        delete own;
    auto* qt = new QTranslator(&App);
    if (qt->load(Locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installed.push_back(qt);
    else
        delete qt;
    for (QTranslator* translator : installed)
        QCoreApplication::installTranslator(translator);
    return installed;
}

QString TranslateText(const char* Context, const char* SourceText)
{
    if (QCoreApplication::instance())
        return QCoreApplication::translate(Context, SourceText);
    static const std::unique_ptr<QTranslator> translator = [] {
        auto loaded = std::make_unique<QTranslator>();
        if (!LoadOwn(*loaded, QLocale::system()))
            loaded.reset();
        return loaded;
    }();
    const QString text = translator ? translator->translate(Context, SourceText) : QString();
    return text.isEmpty() ? QString::fromUtf8(SourceText) : text;
}
