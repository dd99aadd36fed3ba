// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "CardOutput.h"

#include "BusyWindow.h"
#include "ErrorTrap.h"
#include "Main.h"
#include "PdfPages.h"
#include "Platform.h"
#include "Printing.h"
#include "WindowPointer.h"
#include "WordAutomation.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <atomic>
#include <memory>
#include <sys/stat.h>

const char* const kCardJobTitle = QT_TRANSLATE_NOOP("CardOutput", "Greeting card");
const char* const kCardMailSubject = QT_TRANSLATE_NOOP("CardOutput", "Thank you");
const char* const kCardMailAttachment = "Thank you card.pdf";

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

namespace {
// The same file under another spelling, through a symbolic link or a hard link.
bool IsSameFile(const QString& first, const QString& second)
{
    struct stat a {};
    struct stat b {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 && ::stat(QFile::encodeName(second).constData(), &b) == 0
        && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Copies the card document to `target` as the user's own file.
void CopyCardDocument(const QString& source, const QString& target)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QCoreApplication::translate("CardOutput", "File not found: %1").arg(source));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(file.errorString() + QStringLiteral(": ") + source);
    // Copying the document onto itself would give the same bytes.
    if (IsSameFile(source, target))
        return;
    WriteUserFile(bytes, target);
}
QImage CardPicture(const QByteArray& pdf)
{
    return RenderPdfPage(pdf, kCardPictureDotsPerInch,
                         QCoreApplication::translate("CardOutput", "The card could not be drawn as a picture"));
}

// The picture in the format the name's suffix asks for; PNG for a name
// without one, or with one no picture format has.
QByteArray EncodePicture(const QImage& picture, const QString& target)
{
    QByteArray format = QFileInfo(target).suffix().toLower().toLatin1();
    if (format == "jpg")
        format = "jpeg";
    if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format))
        format = "png";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "jpeg")
        writer.setQuality(92);
    if (!writer.write(picture))
        throw Failure(writer.errorString() + QStringLiteral(": ") + target);
    return bytes;
}

// The PDF as a file a mail program can attach: named for the card, in a
// folder of its own in the program's private folder, where it stays until
// the program ends (a mail program may read it late).
QString WriteMailAttachment(const QByteArray& pdf)
{
    static std::atomic<int> mails{0};
    const QString folder = TempFolder() + QStringLiteral("/mail-%1-%2").arg(QCoreApplication::applicationPid()).arg(++mails);
    MakeMissingFolders(folder);
    const QString file = folder + QLatin1Char('/') + QString::fromUtf8(kCardMailAttachment);
    KeepUntilTheEnd(file, folder);
    WriteNewFile(pdf, file);
    return file;
}
} // namespace

CardOutput::CardOutput(Platform& platform, BusyWindow& busy, WindowPointer& pointer)
    : mPlatform(platform), mBusy(busy), mPointer(pointer)
{
}

void CardOutput::KeepCardPdf(const QString& cardDocument, const QByteArray& pdf)
{
    mKeptPdfDocument = pdf.isEmpty() ? QString() : cardDocument;
    mKeptPdf = pdf;
}

void CardOutput::ForgetCardPdf()
{
    KeepCardPdf(QString(), QByteArray());
}

QByteArray CardOutput::CardPdf(const QString& cardDocument)
{
    // Nothing changes the card document once made: its PDF is exported once.
    if (mKeptPdf.isEmpty() || cardDocument != mKeptPdfDocument)
        KeepCardPdf(cardDocument, ExportCardPdf(mPlatform.word, cardDocument));
    return mKeptPdf;
}

void CardOutput::SaveWordFile(const QString& cardDocument)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.PushButton6_Click");
    QString target;
    const int16_t answer =
        AskForSaveTarget(trap, tr("Save File"), tr("Word Files (*.doc)") + QStringLiteral("|*.doc"), target);
    if (trap.test(128, [&] { return answer == MessageBoxes::Yes; }))
        trap.step(130, [&] { CopyCardDocument(cardDocument, target); });
    trap.step(132, [&] { mPlatform.messageBoxes.show(tr("Done."), AppTitle(), MessageBoxes::OkOnly); });
}

void CardOutput::Print(const QString& cardDocument)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.mnuPrint_Click");
    if (trap.test(100, [&] { return mBusy.busy(); }))
        return;
    trap.step(102, [&] { mBusy.set(true); });
    // The print dialog asks the print system for its printers from this
    // thread: a server that never answers would freeze the window there.
    trap.step(104, [&] { mPointer.set(WindowPointer::Busy); });
    bool answers = false;
    trap.step(106, [&] {
        mPlatform.printQueue.checkAnswers();
        answers = true;
    });
    trap.step(108, [&] { mPointer.set(WindowPointer::Default); });
    if (trap.test(110, [&] { return answers; })) {
        PrintChoice choice;
        trap.step(112, [&] { choice = mPlatform.printDialog.showPrint(tr(kCardJobTitle)); });
        if (trap.test(114, [&] { return choice.accepted; })) {
            trap.step(116, [&] { mPointer.set(WindowPointer::Busy); });
            // The busy pointer shows before the office starts.
            trap.step(118, [&] { DoEvents(); });
            QByteArray pdf;
            trap.step(120, [&] { pdf = CardPdf(cardDocument); });
            if (trap.test(122, [&] { return !pdf.isEmpty(); })) {
                // "Print to File" keeps the card's own PDF: it opens and
                // prints anywhere later as the office laid it out.
                if (trap.test(124, [&] { return !choice.outputFile.isEmpty(); }))
                    trap.step(126, [&] { WriteUserFile(pdf, choice.outputFile); });
                else
                    trap.step(128, [&] {
                        mPlatform.printQueue.submit(JobFor(choice, tr(kCardJobTitle), pdf));
                    });
            }
            trap.step(130, [&] { mPointer.set(WindowPointer::Default); });
        }
    }
    // Input that came while the office worked finds the window still busy.
    trap.step(132, [&] { DoEvents(); });
    trap.step(134, [&] { mBusy.set(false); });
}

void CardOutput::SavePdf(const QString& cardDocument)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.mnuSavePdf_Click");
    if (trap.test(100, [&] { return mBusy.busy(); }))
        return;
    trap.step(102, [&] { mBusy.set(true); });
    QString target;
    const int16_t answer =
        AskForSaveTarget(trap, tr("Save as PDF"), tr("PDF Files (*.pdf)") + QStringLiteral("|*.pdf"), target);
    // A cancel does nothing, not even "Done.".
    if (!target.isEmpty()) {
        if (trap.test(128, [&] { return answer == MessageBoxes::Yes; })) {
            trap.step(130, [&] { mPointer.set(WindowPointer::Busy); });
            trap.step(132, [&] { DoEvents(); });
            QByteArray pdf;
            trap.step(134, [&] { pdf = CardPdf(cardDocument); });
            if (trap.test(136, [&] { return !pdf.isEmpty(); }))
                trap.step(138, [&] { WriteUserFile(pdf, target); });
            trap.step(140, [&] { mPointer.set(WindowPointer::Default); });
        }
        trap.step(142, [&] { mPlatform.messageBoxes.show(tr("Done."), AppTitle(), MessageBoxes::OkOnly); });
    }
    trap.step(144, [&] { DoEvents(); });
    trap.step(146, [&] { mBusy.set(false); });
}

void CardOutput::SendByEmail(const QString& cardDocument)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.mnuSendMail_Click");
    if (trap.test(100, [&] { return mBusy.busy(); }))
        return;
    trap.step(102, [&] { mBusy.set(true); });
    trap.step(104, [&] { mPointer.set(WindowPointer::Busy); });
    trap.step(106, [&] { DoEvents(); });
    QByteArray pdf;
    trap.step(108, [&] { pdf = CardPdf(cardDocument); });
    if (trap.test(110, [&] { return !pdf.isEmpty(); })) {
        QString attachment;
        trap.step(112, [&] { attachment = WriteMailAttachment(pdf); });
        if (trap.test(114, [&] { return !attachment.isEmpty(); }))
            trap.step(116, [&] { mPlatform.mail.compose(tr(kCardMailSubject), attachment); });
    }
    trap.step(118, [&] { mPointer.set(WindowPointer::Default); });
    trap.step(120, [&] { DoEvents(); });
    trap.step(122, [&] { mBusy.set(false); });
}

void CardOutput::Copy(const QString& cardDocument)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.mnuCopy_Click");
    if (trap.test(100, [&] { return mBusy.busy(); }))
        return;
    trap.step(102, [&] { mBusy.set(true); });
    trap.step(104, [&] { mPointer.set(WindowPointer::Busy); });
    trap.step(106, [&] { DoEvents(); });
    QByteArray pdf;
    trap.step(108, [&] { pdf = CardPdf(cardDocument); });
    if (trap.test(110, [&] { return !pdf.isEmpty(); })) {
        QImage picture;
        trap.step(112, [&] { picture = CardPicture(pdf); });
        if (trap.test(114, [&] { return !picture.isNull(); }))
            trap.step(116, [&] { mPlatform.clipboard.setCard(picture, pdf); });
    }
    trap.step(118, [&] { mPointer.set(WindowPointer::Default); });
    trap.step(120, [&] { DoEvents(); });
    trap.step(122, [&] { mBusy.set(false); });
}

void CardOutput::SavePicture(const QString& cardDocument)
{
    ErrorTrap trap(mPlatform.messageBoxes, "Pelorin2021/08/31.Form2.mnuSavePicture_Click");
    if (trap.test(100, [&] { return mBusy.busy(); }))
        return;
    trap.step(102, [&] { mBusy.set(true); });
    QString target;
    const int16_t answer = AskForSaveTarget(trap, tr("Save as Picture"),
                                            tr("PNG Pictures (*.png)") + QStringLiteral("|*.png|")
                                                + tr("JPEG Pictures (*.jpg *.jpeg)") + QStringLiteral("|*.jpg *.jpeg"),
                                            target);
    // A cancel does nothing, not even "Done.".
    if (!target.isEmpty()) {
        if (trap.test(128, [&] { return answer == MessageBoxes::Yes; })) {
            trap.step(130, [&] { mPointer.set(WindowPointer::Busy); });
            trap.step(132, [&] { DoEvents(); });
            QByteArray pdf;
            trap.step(134, [&] { pdf = CardPdf(cardDocument); });
            QByteArray picture;
            if (trap.test(136, [&] { return !pdf.isEmpty(); }))
                trap.step(138, [&] { picture = EncodePicture(CardPicture(pdf), target); });
            if (trap.test(140, [&] { return !picture.isEmpty(); }))
                trap.step(142, [&] { WriteUserFile(picture, target); });
            trap.step(144, [&] { mPointer.set(WindowPointer::Default); });
        }
        trap.step(146, [&] { mPlatform.messageBoxes.show(tr("Done."), AppTitle(), MessageBoxes::OkOnly); });
    }
    trap.step(148, [&] { DoEvents(); });
    trap.step(150, [&] { mBusy.set(false); });
}

int16_t CardOutput::AskForSaveTarget(ErrorTrap& trap, const QString& title, const QString& filterText, QString& target)
{
    QString fileName;
    QString dialogTitle;
    QString filter;
    int16_t answer = 0;
    trap.step(106, [&] { fileName.clear(); });
    trap.step(108, [&] { dialogTitle = title; });
    trap.step(110, [&] { filter = filterText; });
    trap.step(112, [&] { fileName = mPlatform.saveDialog.showSave(dialogTitle, filter, fileName); });
    trap.step(114, [&] { target = fileName; });
    if (trap.test(116, [&] { return target.isEmpty(); }))
        return answer;
    if (trap.test(118, [&] { return FileExists(target); })) {
        trap.step(120, [&] {
            answer = int16_t(mPlatform.messageBoxes.show(
                tr("Are you sure you wish to overwrite %1 ?").arg(target), AppTitle(),
                MessageBoxes::YesNo));
        });
        // 122/124: the old file is not deleted first; the write replaces it
        // only once the new file is complete.
    } else {
        trap.step(126, [&] { answer = MessageBoxes::Yes; });
    }
    return answer;
}
