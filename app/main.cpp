// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// Pelorin Greeting Designer: start-up.

#include "Accessibility.h"
#include "Form1.h"
#include "LibreOfficeWord.h"
#include "Mail.h"
#include "Main.h"
#include "Printing.h"
#include "QtPlatform.h"
#include "Skin.h"
#include "Translations.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Before any thread starts, so that only the thread that waits for them
    // takes the end signals.
    QtProgramEnd::BlockEndSignals();
    QApplication application(argc, argv);
    InstallTranslations(QCoreApplication::applicationDirPath());
    InstallAccessibleInterfaces();
    // The windows end the program themselves: the main window when closed,
    // the preview window when closed while the main window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    QtMessageBoxes messageBoxes;
    QtSaveDialog saveDialog;
    QtPrintDialog printDialog;
    CupsPrintQueue printQueue;
    DesktopMail mail;
    QtSettingsStore settings;
    QtProcessStarter processes;
    QtClipboard clipboard;
    // However the program ends, its office instances end with it.
    QtProgramEnd programEnd(&LibreOfficeWordFactory::EndAllInstances);
    programEnd.EndOnSignals();
    RandomGenerator generator;

    LibreOfficeWordFactory word(clipboard, LibreOfficeOptions::forProgram());

    Platform platform{messageBoxes, saveDialog, printDialog, printQueue, mail, settings, processes, clipboard, word, programEnd,
                      [&generator](double seed) { generator.seed(seed); },
                      [&generator] { return generator.next(); },
                      SecondsSinceMidnight,
                      QCoreApplication::applicationDirPath()};

    StyleSheetSkin skin;
    Form1 form1(platform, skin);
    form1.Form_Load();
    // Placed before it is shown, so it does not appear elsewhere first.
    CentreOnScreen(&form1);
    form1.show();
    return QApplication::exec();
}
