// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "IsInstalled.h"

#include "Main.h"
#include "Platform.h"
#include "WordAutomation.h"

#include <QCoreApplication>

QString WordMissingMessage()
{
    const QStringList paragraphs = {
        QCoreApplication::translate("IsInstalled", "Error 842001. A normal instance of Word could not be created."),
        QCoreApplication::translate("IsInstalled", "1. Please make sure Word is installed on this computer."),
        QCoreApplication::translate("IsInstalled",
                                    "2. Please open Word normally and make sure a blank document opens immediately without any "
                                    "interrupting window (such as an Word file recovery window)."),
        QCoreApplication::translate("IsInstalled",
                                    "3. Please make sure that when you double-click on a DOC or DOCX file that Word opens "
                                    "normally without any interrupting messages."),
        QCoreApplication::translate("IsInstalled",
                                    "4. All versions of Word are supported by this software except for the rare Word Starter "
                                    "and Student editions."),
    };
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

void CheckWordInstalled(Platform& platform)
{
    // Every failure here is handled on the spot; none reaches an error message.
    std::unique_ptr<WordApplication> word;
    try {
        word = platform.word.CreateObject(QStringLiteral("Word.Application"));
    } catch (...) {
    }
    if (!word) {
        try {
            platform.messageBoxes.show(WordMissingMessage(), AppTitle(), MessageBoxes::OkOnly);
        } catch (...) {
        }
        platform.programEnd.end();
        return;
    }
    try {
        word->Quit();
    } catch (...) {
    }
}
