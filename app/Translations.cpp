// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
bool IsEnglish(const QString& language)
{
    return language == QLatin1String("C") || language == QLatin1String("POSIX") || language == QLatin1String("en")
        || language.startsWith(QLatin1String("en_"));
}
} // namespace

QStringList CatalogueFolders(const QString& programFolder)
{
    return {programFolder + QStringLiteral("/translations"),
            QDir::cleanPath(programFolder + QStringLiteral("/../../share/pelorin-greeting-designer/translations"))};
}

Catalogue ChooseCatalogue(const QStringList& uiLanguages, const QStringList& folders)
{
    for (const QString& uiLanguage : uiLanguages) {
        const QString language = QString(uiLanguage).replace(QLatin1Char('-'), QLatin1Char('_'));
        // English before any other language in the list: the sources are English.
        if (IsEnglish(language))
            return {};
        // "de_AT" takes the German catalogue when there is none of its own.
        for (QString name = language; !name.isEmpty(); name.truncate(qMax(0, int(name.lastIndexOf(QLatin1Char('_')))))) {
            for (const QString& folder : folders) {
                const QString path = folder + QStringLiteral("/pelorin_") + name + QStringLiteral(".qm");
                if (QFileInfo(path).isFile())
                    return {path, language};
            }
        }
    }
    return {};
}

void InstallTranslations(const QString& programFolder)
{
    const Catalogue chosen = ChooseCatalogue(QLocale::system().uiLanguages(), CatalogueFolders(programFolder));
    if (chosen.path.isEmpty())
        return;
    auto* own = new QTranslator(QCoreApplication::instance());
    // A damaged catalogue leaves the program English.
    if (!own->load(chosen.path)) {
        delete own;
        return;
    }
    QCoreApplication::installTranslator(own);
    // Qt's dialogs in the same language; the loader falls back from "de_AT" to "de".
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qtbase_") + chosen.language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}
