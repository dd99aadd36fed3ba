// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// "Start Creating Template": the message typed into the card template, the
// card document saved under a fresh name, its picture handed to the preview.

#include "ErrorTrap.h"
#include "Form1.h"
#include "Form2.h"
#include "GenerationLock.h"
#include "Main.h"
#include "PictureBox.h"
#include "Platform.h"
#include "TextBox.h"
#include "WordAutomation.h"

#include <QCoreApplication>
#include <QFile>
#include <optional>
#include <utility>

namespace {
// How long a card waits for one of another copy of the program: as long as
// a single office call may take.
constexpr std::chrono::seconds kOtherCopyBound(60);

QByteArray LoadCardTemplateResource()
{
    QFile resource(QStringLiteral(":/CUSTOM/101"));
    if (!resource.open(QIODevice::ReadOnly))
        throw Failure(QCoreApplication::translate("CardBuilder", "Resource with identifier '101' not found"));
    return resource.readAll();
}
} // namespace

void Form1::TellOfCharactersWithoutFont(const QString& message)
{
    const QStringList missing = mPlatform.word.CharactersWithoutFont(message);
    if (missing.isEmpty())
        return;
    QStringList named;
    for (const QString& character : missing)
        named << QStringLiteral("%1 (U+%2)").arg(character, QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    mPlatform.messageBoxes.show(QCoreApplication::translate("CardBuilder",
                                                            "No font on this computer has these characters of the message, so the "
                                                            "card shows nothing in their place: %1. The Word file keeps them.")
                                    .arg(named.join(QStringLiteral(", "))),
                                AppTitle(), MessageBoxes::Exclamation);
}

void Form1::PushButton6_Click()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form1.PushButton6_Click");
    if (trap.test(100, [&] { return mBusy; }))
        return;
    trap.step(102, [&] { mBusy = true; });
    trap.step(104, [&] { mPointer.set(WindowPointer::Busy); });
    QByteArray cardTemplate;
    trap.step(106, [&] { cardTemplate = LoadCardTemplateResource(); });
    // Held until the snapshot is deleted: another copy uses the same files.
    GenerationLock exclusive;
    trap.step(108, [&] { exclusive.acquire(kOtherCopyBound); });
    if (trap.test(108, [&] { return !FileExists(TempFolder() + QStringLiteral("/template.dot")); }))
        trap.step(108, [&] { WriteFileIfMissing(cardTemplate, TempFolder() + QStringLiteral("/template.dot")); });
    std::unique_ptr<WordApplication> word;
    trap.step(110, [&] {
        word = mPlatform.word.CreateObject(QStringLiteral("Word.Application"));
        // The snapshot's office comes up while this one types and saves the card.
        mPlatform.word.StartSpare(QStringLiteral("Word.Application"));
    });
    QString templatePath;
    trap.step(112, [&] { templatePath = TempFolder() + QStringLiteral("/template.dot"); });
    std::shared_ptr<WordDocument> document;
    trap.step(114, [&] { document = Need(word).Open(templatePath, true); });
    trap.step(116, [&] { Need(document).SelectShape(QStringLiteral("Text Box 8")); });
    // The message as typed into the card (the box may change while the office
    // works); none when typing failed, and the card keeps the template's text.
    std::optional<QString> typed;
    trap.step(118, [&] {
        const QString message = Text1->text();
        Need(document).TypeText(message);
        typed = message;
    });
    QString name;
    do {
        trap.step(120, [&] { name = QStringLiteral("vestok"); });
        for (int counter = 1; counter <= 8; ++counter) { // 122
            int digit = 0;
            trap.step(124, [&] { mPlatform.randomize(mPlatform.timer()); });
            trap.step(126, [&] { digit = int(mPlatform.random() * 9) + 1; });
            trap.step(128, [&] { name += QString::number(digit); });
        } // 130
        trap.step(132, [&] { name = TempFolder() + QStringLiteral("/") + name + QStringLiteral(".doc"); });
    } while (trap.test(134, [&] { return FileExists(name); }));
    const QString cardPath = name;
    trap.step(136, [&] { Need(document).SaveAs(cardPath); });
    trap.step(138, [&] { Need(word).SetDisplayAlerts(false); });
    trap.step(140, [&] { Need(document).Close(); });
    trap.step(142, [&] { Need(word).Quit(); });
    trap.step(144, [&] { document.reset(); });
    // Releasing the application ends its office process even when Quit failed.
    trap.step(146, [&] { word.reset(); });
    trap.step(148, [&] { DeleteFileQuietly(templatePath); });
    trap.step(150, [&] { SaveDocAsJPG(cardPath); });
    trap.step(152, [&] {
        Form2& preview = Preview();
        preview.Picture1->setPicture(LoadPicture(TempFolder() + QStringLiteral("/temp.bmp")));
    });
    trap.step(154, [&] {
        Form2& preview = Preview();
        preview.mWordFile = cardPath;
        // Every output of the card (print, PDF, mail, copy, picture) takes its PDF from here.
        preview.KeepCardPdf(cardPath, std::exchange(mCardPdf, QByteArray()));
    });
    trap.step(156, [&] { mPointer.set(WindowPointer::Default); });
    trap.step(158, [&] {
        Form2& preview = Preview();
        // Each new card starts at zoom 1.0 with its own scroll ranges.
        preview.ResetForNewCard(typed);
        preview.show();
    });
    trap.step(160, [&] { hide(); });
    trap.step(162, [&] { DeleteFileQuietly(TempFolder() + QStringLiteral("/temp.bmp")); });
    exclusive.release();
    // The office draws nothing for a character none of its fonts has: say so
    // rather than leave the user with a silent gap in the card.
    TellOfCharactersWithoutFont(typed.value_or(QString()));
    trap.step(164, [&] { mBusy = false; });
}
