// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Printing.h"

#include "ErrorTrap.h"
#include "OffThread.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <cups/cups.h>
#include <cups/pwg.h>
#include <algorithm>
#include <chrono>
#include <memory>

namespace {
// Where Qt's CUPS print engine keeps the printer's own options that its
// Properties dialog collected, as name, value, name, value …
const auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// How long the print system has to answer whether it is there at all.
constexpr std::chrono::milliseconds kAnswerBound(3000);
// How long any one exchange of a job may wait for the print system;
// PELORIN_PRINT_TIMEOUT_MS overrides it (tests do).
std::chrono::milliseconds ExchangeBound()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("PELORIN_PRINT_TIMEOUT_MS", &ok);
    return std::chrono::milliseconds(ok && ms > 0 ? ms : 10000);
}

QString PwgMediaName(const QPageSize& size)
{
    if (const pwg_media_t* media = pwgMediaForPPD(size.key().toUtf8().constData()))
        return QString::fromUtf8(media->pwg);
    // Sizes are named in hundredths of a millimetre.
    const QSizeF points = size.size(QPageSize::Point);
    if (const pwg_media_t* media = pwgMediaForSize(qRound(points.width() / 72 * 2540), qRound(points.height() / 72 * 2540)))
        return QString::fromUtf8(media->pwg);
    return QString();
}

// A program started from the desktop has no terminal to ask a password on;
// the callback is the calling thread's own.
void NeverAskForPasswords()
{
    cupsSetPasswordCB2([](const char*, http_t*, const char*, const char*, void*) -> const char* { return nullptr; },
                       nullptr);
}

// A connection of its own for each use: one kept from earlier may belong to
// a scheduler that has restarted since. Every wait on it ends after the
// bound given, and then every later exchange is refused at once.
class Connection {
public:
    explicit Connection(std::chrono::milliseconds bound)
        : mHttp(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, int(bound.count()), nullptr))
    {
        if (mHttp)
            httpSetTimeout(mHttp, double(bound.count()) / 1000, &Connection::GiveUp, this);
    }
    ~Connection() { httpClose(mHttp); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* get() const { return mHttp; }
    explicit operator bool() const { return mHttp != nullptr; }
    bool silent() const { return mSilent; }

private:
    static int GiveUp(http_t*, void* self)
    {
        static_cast<Connection*>(self)->mSilent = true;
        return 0;
    }

    http_t* mHttp;
    bool mSilent = false;
};

// The scheduler's address as the CUPS library finds it now; the library
// keeps what it found for each thread.
QString CurrentServer()
{
    cupsSetServer(nullptr);
    return QString::fromUtf8(cupsServer());
}

QString SilentMessage(const QString& server)
{
    return QCoreApplication::translate("Printing",
                                       "The card could not be printed: the print system (CUPS) does not answer at %1.")
        .arg(server);
}

Failure PrintFailure(const PrintJob& job)
{
    // The print system's own words follow as it gives them.
    return Failure(QCoreApplication::translate("Printing", "The card could not be printed on \"%1\": %2")
                       .arg(job.printer, QString::fromUtf8(cupsLastErrorString())));
}

// The job as lp would send it, on the calling thread.
int SubmitNow(const PrintJob& job)
{
    NeverAskForPasswords();
    const Connection http(ExchangeBound());
    const Failure silent(SilentMessage(QString::fromUtf8(cupsServer())));
    if (!http)
        throw silent;
    // An instance ("queue/instance") prints on its queue with its own options.
    const QByteArray queue = job.printer.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray instance = job.printer.section(QLatin1Char('/'), 1).toUtf8();
    const QByteArray title = job.title.toUtf8();
    cups_option_t* options = nullptr;
    int count = 0;
    for (const PrintOption& option : job.options)
        count = cupsAddOption(option.first.toUtf8().constData(), option.second.toUtf8().constData(), count, &options);
    // The destination's saved options fill in what the job leaves open.
    if (cups_dest_t* dest = cupsGetNamedDest(http.get(), queue.constData(), instance.isEmpty() ? nullptr : instance.constData())) {
        for (int i = 0; i < dest->num_options; ++i)
            if (!cupsGetOption(dest->options[i].name, count, options))
                count = cupsAddOption(dest->options[i].name, dest->options[i].value, count, &options);
        cupsFreeDests(1, dest);
    }
    if (http.silent()) {
        cupsFreeOptions(count, options);
        throw silent;
    }
    const int id = cupsCreateJob(http.get(), queue.constData(), title.constData(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0)
        throw http.silent() ? silent : PrintFailure(job);
    // The PDF goes as it is, from memory; the job is in the queue once the
    // scheduler has taken the whole document.
    bool taken = cupsStartDocument(http.get(), queue.constData(), id, title.constData(), CUPS_FORMAT_PDF, 1)
        == HTTP_STATUS_CONTINUE;
    if (taken) {
        taken = cupsWriteRequestData(http.get(), job.pdf.constData(), size_t(job.pdf.size())) == HTTP_STATUS_CONTINUE;
        taken = cupsFinishDocument(http.get(), queue.constData()) <= IPP_STATUS_OK_CONFLICTING && taken;
    }
    if (http.silent())
        throw silent;
    if (!taken) {
        const Failure failure = PrintFailure(job);
        // A job left without its document would wait in the queue for good.
        cupsCancelJob2(http.get(), queue.constData(), id, 0);
        throw failure;
    }
    return id;
}
} // namespace

QtPrintDialog::QtPrintDialog()
{
    // Qt's CUPS plugin asks the print system from the window's thread.
    NeverAskForPasswords();
}

QtPrintDialog::~QtPrintDialog() = default;

PrintChoice QtPrintDialog::showPrint(const QString& documentName)
{
    if (!mPrinter)
        mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    mPrinter->setDocName(documentName);
    QPrintDialog dialog(mPrinter.get());
    // One page, printed whole: no page range, selection or current page;
    // Properties offers the paper, the orientation and the printer's own options.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintCollateCopies
                      | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted)
        return PrintChoice();
    return DialogChoice(*mPrinter);
}

QString PrintSides(QPrinter::DuplexMode duplex, bool landscape)
{
    switch (duplex) {
    case QPrinter::DuplexNone:
        return QStringLiteral("one-sided");
    case QPrinter::DuplexLongSide:
        return QStringLiteral("two-sided-long-edge");
    case QPrinter::DuplexShortSide:
        return QStringLiteral("two-sided-short-edge");
    case QPrinter::DuplexAuto:
        // Turned along the edge a reader turns: the long one upright.
        return landscape ? QStringLiteral("two-sided-short-edge") : QStringLiteral("two-sided-long-edge");
    }
    return QString();
}

PrintChoice DialogChoice(const QPrinter& printer)
{
    PrintChoice choice;
    choice.accepted = true;
    choice.copies = std::max(1, printer.copyCount());
    choice.collate = printer.collateCopies();
    if (printer.outputFormat() == QPrinter::PdfFormat)
        choice.outputFile = printer.outputFileName();
    else
        choice.printer = printer.printerName();
    const QPageLayout layout = printer.pageLayout();
    choice.media = PwgMediaName(layout.pageSize());
    choice.landscape = layout.orientation() == QPageLayout::Landscape;
    choice.grayscale = printer.colorMode() == QPrinter::GrayScale;
    choice.sides = PrintSides(printer.duplex(), choice.landscape);
    const QStringList own = printer.printEngine()->property(kCupsOptionsProperty).toStringList();
    for (qsizetype i = 0; i + 1 < own.size(); i += 2)
        choice.printerOptions.emplace_back(own[i], own[i + 1]);
    return choice;
}

PrintJob JobFor(const PrintChoice& choice, const QString& title, const QByteArray& pdf)
{
    std::vector<PrintOption> options{
        {QStringLiteral("copies"), QString::number(choice.copies)},
        {QStringLiteral("multiple-document-handling"), choice.collate ? QStringLiteral("separate-documents-collated-copies")
                                                                      : QStringLiteral("separate-documents-uncollated-copies")},
        {QStringLiteral("orientation-requested"), choice.landscape ? QStringLiteral("4") : QStringLiteral("3")},
    };
    // Qt's dialog offers a print queue's colour only where its driver has a
    // colour model to choose; otherwise the queue's own default (the
    // user's saved one included) stands.
    if (choice.grayscale)
        options.emplace_back(QStringLiteral("print-color-mode"), QStringLiteral("monochrome"));
    if (!choice.media.isEmpty())
        options.emplace_back(QStringLiteral("media"), choice.media);
    if (!choice.sides.isEmpty())
        options.emplace_back(QStringLiteral("sides"), choice.sides);
    options.insert(options.end(), choice.printerOptions.begin(), choice.printerOptions.end());
    // The card is a page of its own size: whole on any paper. Left to the
    // print system, a sheet smaller than the card would be filled and the
    // card's edges cut off; "fit" would enlarge it on larger paper.
    const bool fitted = std::any_of(options.begin(), options.end(),
                                    [](const PrintOption& option) { return option.first == QLatin1String("print-scaling"); });
    if (!fitted)
        options.emplace_back(QStringLiteral("print-scaling"), QStringLiteral("auto-fit"));
    return {choice.printer, title, pdf, options};
}

void CupsPrintQueue::checkAnswers()
{
    const QString server = CurrentServer();
    const bool answered = WaitOffThread(
        kAnswerBound + std::chrono::milliseconds(500),
        [] {
            NeverAskForPasswords();
            const auto start = std::chrono::steady_clock::now();
            const Connection http(kAnswerBound);
            // Refused at once, nobody is there at all: nothing to wait for,
            // and the dialog offers no printer but "Print to File". A
            // server that let the bound pass is silent.
            if (!http)
                return std::chrono::steady_clock::now() - start < kAnswerBound / 2;
            // Any answer will do, a refusal too; only silence counts.
            ippDelete(cupsDoRequest(http.get(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
            return !http.silent();
        },
        SilentMessage(server));
    if (!answered)
        throw Failure(SilentMessage(server));
}

int CupsPrintQueue::submit(const PrintJob& job)
{
    if (job.printer.isEmpty())
        throw Failure(QCoreApplication::translate("Printing", "The card could not be printed: no printer was chosen."));
    // An exchange that lets its bound pass ends the job; the rest is slack.
    return WaitOffThread(ExchangeBound() * 2 + std::chrono::seconds(1), [job] { return SubmitNow(job); },
                         SilentMessage(CurrentServer()));
}
