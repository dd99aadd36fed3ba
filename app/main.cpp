// Pelorin Greeting Designer: start-up.

#include "Form1.h"
#include "LibreOfficeWord.h"
#include "Main.h"
#include "QtPlatform.h"
#include "Skin.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The windows end the program themselves: the main window when closed,
    // the preview window when closed while the main window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    QtMessageBoxes messageBoxes;
    QtSaveDialog saveDialog;
    QtSettingsStore settings;
    QtProcessStarter processes;
    QtClipboard clipboard;
    QtProgramEnd programEnd;
    RandomGenerator generator;

    LibreOfficeWordFactory word(clipboard, LibreOfficeOptions::forProgram());

    Platform platform{messageBoxes, saveDialog, settings, processes, clipboard, word, programEnd,
                      [&generator](double seed) { generator.seed(seed); },
                      [&generator] { return generator.next(); },
                      SecondsSinceMidnight,
                      QCoreApplication::applicationDirPath()};

    StyleSheetSkin skin;
    Form1 form1(platform, skin);
    form1.Form_Load();
    if (programEnd.ended())
        return 0;
    form1.show();
    CentreOnScreen(&form1);
    return QApplication::exec();
}
