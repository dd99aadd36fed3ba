// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// "Print…" and "Save as PDF…" of the card's menu in the preview window. The
// office makes the PDF from the card document; the print system or a file
// of the user's takes it unchanged.

#include "CardOutput.h"

#include "ErrorTrap.h"
#include "Form2.h"
#include "Main.h"
#include "Platform.h"
#include "WordAutomation.h"

#include <memory>
#include <poppler-qt6.h>

const char* const kCardJobTitle = "Greeting card";

QByteArray ExportCardPdf(WordFactory& word, const QString& cardDocument)
{
    // Whatever fails, releasing the application ends its office.
    const std::unique_ptr<WordApplication> office = word.CreateObject(QStringLiteral("Word.Application"));
    const std::shared_ptr<WordDocument> document = office->Open(cardDocument, true);
    const QByteArray pdf = document->ExportAsPdf();
    office->CloseActiveDocument(0);
    office->Quit();
    return pdf;
}

QSizeF PdfPageSize(const QByteArray& pdf)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    const std::unique_ptr<Poppler::Page> page = document && !document->isLocked() ? document->page(0) : nullptr;
    if (!page)
        throw Failure(QStringLiteral("The card's PDF holds no page."));
    return page->pageSizeF();
}

void Form2::mnuPrint_Click()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.mnuPrint_Click");
    if (trap.test(100, [&] { return mBusy; }))
        return;
    trap.step(102, [&] { SetBusy(true); });
    PrintChoice choice;
    trap.step(104, [&] { choice = mPlatform.printDialog.showPrint(QString::fromLatin1(kCardJobTitle)); });
    if (trap.test(106, [&] { return choice.accepted; })) {
        trap.step(108, [&] { mPointer.set(WindowPointer::Busy); });
        // The busy pointer shows before the office starts.
        trap.step(110, [&] { DoEvents(); });
        QByteArray pdf;
        trap.step(112, [&] { pdf = ExportCardPdf(mPlatform.word, mWordFile); });
        if (trap.test(114, [&] { return !pdf.isEmpty(); })) {
            if (trap.test(116, [&] { return !choice.outputFile.isEmpty(); }))
                trap.step(118, [&] { WriteUserFile(pdf, choice.outputFile); });
            else
                trap.step(120, [&] {
                    mPlatform.printQueue.submit(
                        {choice.printer, QString::fromLatin1(kCardJobTitle), pdf, choice.copies, PdfPageSize(pdf)});
                });
        }
        trap.step(122, [&] { mPointer.set(WindowPointer::Default); });
    }
    // Input that came while the office worked finds the window still busy.
    trap.step(124, [&] { DoEvents(); });
    trap.step(126, [&] { SetBusy(false); });
}

void Form2::mnuSavePdf_Click()
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.mnuSavePdf_Click");
    if (trap.test(100, [&] { return mBusy; }))
        return;
    trap.step(102, [&] { SetBusy(true); });
    QString target;
    const int16_t answer =
        AskForSaveTarget(trap, QStringLiteral("Save as PDF"), QStringLiteral("PDF Files (*.pdf)|*.pdf"), target);
    // A cancel does nothing, not even "Done.".
    if (!target.isEmpty()) {
        if (trap.test(128, [&] { return answer == MessageBoxes::Yes; })) {
            trap.step(130, [&] { mPointer.set(WindowPointer::Busy); });
            trap.step(132, [&] { DoEvents(); });
            QByteArray pdf;
            trap.step(134, [&] { pdf = ExportCardPdf(mPlatform.word, mWordFile); });
            if (trap.test(136, [&] { return !pdf.isEmpty(); }))
                trap.step(138, [&] { WriteUserFile(pdf, target); });
            trap.step(140, [&] { mPointer.set(WindowPointer::Default); });
        }
        trap.step(142, [&] { mPlatform.messageBoxes.show(QStringLiteral("Done."), AppTitle(), MessageBoxes::OkOnly); });
    }
    trap.step(144, [&] { DoEvents(); });
    trap.step(146, [&] { SetBusy(false); });
}
