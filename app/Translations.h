// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The program in the user's language. The sources are English; a catalogue
// (pelorin_<language>.qm) translates the program's own texts, and Qt's own
// catalogue for the same language (qtbase_<language>.qm) the texts of Qt's
// dialogs and message box buttons. The user's languages are tried in the
// order of the user's list (LANGUAGE, else LC_ALL, LC_MESSAGES, LANG): the
// first one the program has a catalogue for is taken; English, or a list
// with no language the program knows, keeps the English sources.

#include <QString>
#include <QStringList>

// Where the program's catalogues may be: beside the program (the build
// tree), and the data folder of an installation, found from the program's
// own folder (<prefix>/lib/pelorin-greeting-designer gives
// <prefix>/share/pelorin-greeting-designer/translations), so an unpacked
// or relocated installation finds its own.
QStringList CatalogueFolders(const QString& programFolder);

// The catalogue chosen for `uiLanguages` (as QLocale gives them: "de-DE",
// "fr", …) from `folders`, and the language it was chosen for as the user
// named it ("de_DE"); both empty when English is to be kept.
struct Catalogue {
    QString path;
    QString language;
};
Catalogue ChooseCatalogue(const QStringList& uiLanguages, const QStringList& folders);

// Installs the catalogues for the user's languages into the application;
// once, before any window is made.
void InstallTranslations(const QString& programFolder);
