// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Printing.h"

#include "ErrorTrap.h"

#include <QPrintDialog>
#include <QPrinter>
#include <cups/cups.h>
#include <cups/pwg.h>
#include <memory>

PrintChoice QtPrintDialog::showPrint(const QString& documentName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    QPrintDialog dialog(&printer);
    // One page, printed whole: no page range, selection or current page.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(1, 1);
    PrintChoice choice;
    if (dialog.exec() != QDialog::Accepted)
        return choice;
    choice.accepted = true;
    choice.copies = std::max(1, printer.copyCount());
    if (printer.outputFormat() == QPrinter::PdfFormat)
        choice.outputFile = printer.outputFileName();
    else
        choice.printer = printer.printerName();
    return choice;
}

namespace {
// How long the print system has to take the connection.
constexpr int kConnectBoundMs = 30000;

Failure PrintFailure(const PrintJob& job)
{
    return Failure(QStringLiteral("The card could not be printed on \"%1\": %2")
                       .arg(job.printer, QString::fromUtf8(cupsLastErrorString())));
}
} // namespace

CupsPrintQueue::CupsPrintQueue()
{
    cupsSetPasswordCB2([](const char*, http_t*, const char*, const char*, void*) -> const char* { return nullptr; },
                       nullptr);
}

int CupsPrintQueue::submit(const PrintJob& job)
{
    if (job.printer.isEmpty())
        throw Failure(QStringLiteral("The card could not be printed: no printer was chosen."));
    // A connection of its own for each job: one kept from an earlier job
    // may belong to a scheduler that has restarted since.
    const std::unique_ptr<http_t, void (*)(http_t*)> http(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectBoundMs, nullptr),
        httpClose);
    if (!http)
        throw Failure(QStringLiteral("The card could not be printed: the print system (CUPS) does not answer at %1.")
                          .arg(QString::fromUtf8(cupsServer())));
    const QByteArray printer = job.printer.toUtf8();
    const QByteArray title = job.title.toUtf8();
    cups_option_t* options = nullptr;
    int count = cupsAddIntegerOption("copies", job.copies, 0, &options);
    // The card's own paper; sizes are named in hundredths of a millimetre.
    if (!job.pageSize.isEmpty())
        if (const pwg_media_t* media = pwgMediaForSize(qRound(job.pageSize.width() / 72 * 2540),
                                                       qRound(job.pageSize.height() / 72 * 2540)))
            count = cupsAddOption("media", media->pwg, count, &options);
    const int id = cupsCreateJob(http.get(), printer.constData(), title.constData(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0)
        throw PrintFailure(job);
    // The PDF goes as it is, from memory; the job is in the queue once the
    // scheduler has taken the whole document.
    bool taken = cupsStartDocument(http.get(), printer.constData(), id, title.constData(), CUPS_FORMAT_PDF, 1)
        == HTTP_STATUS_CONTINUE;
    if (taken) {
        taken = cupsWriteRequestData(http.get(), job.pdf.constData(), size_t(job.pdf.size())) == HTTP_STATUS_CONTINUE;
        taken = cupsFinishDocument(http.get(), printer.constData()) <= IPP_STATUS_OK_CONFLICTING && taken;
    }
    if (!taken) {
        const Failure failure = PrintFailure(job);
        // A job left without its document would wait in the queue for good.
        cupsCancelJob2(http.get(), printer.constData(), id, 0);
        throw failure;
    }
    return id;
}
