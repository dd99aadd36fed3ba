// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The real print services: Qt's print dialog, which lists the print
// system's printers, offers their paper and own options under Properties
// and "Print to File (PDF)"; and the CUPS queue, which takes the card's PDF
// with every choice of the dialog as a job option. Nothing here waits on
// the print system from the window's thread without a bound.

#include "Platform.h"

#include <QPrinter>
#include <memory>

class QtPrintDialog : public PrintDialog {
public:
    QtPrintDialog();
    ~QtPrintDialog() override;
    PrintChoice showPrint(const QString& documentName) override;

private:
    // Made at the first print, not before: it asks the print system for
    // its printers. Kept, so each dialog opens on the last choice.
    std::unique_ptr<QPrinter> mPrinter;
};

// Everything the dialog left in `printer` once accepted.
PrintChoice DialogChoice(const QPrinter& printer);
// The print system's name for a duplex mode of Qt's.
QString PrintSides(QPrinter::DuplexMode duplex, bool landscape);

// The job for `pdf` as the user chose it: each setting of the dialog one
// option; the card is fitted to the paper chosen, at its own size where
// the paper holds it and scaled down just enough where it does not.
PrintJob JobFor(const PrintChoice& choice, const QString& title, const QByteArray& pdf);

// Talks to the scheduler the CUPS library finds (CUPS_SERVER, the user's
// client.conf, else the local one), each time from a thread of its own
// with a bound. Never asks for a password on a terminal: a program started
// from the desktop has none to ask on.
class CupsPrintQueue : public PrintQueue {
public:
    void checkAnswers() override;
    // The destination's saved options (lpoptions, an instance's own) are
    // merged as lp merges them: the job's own options come first.
    int submit(const PrintJob& job) override;
};
