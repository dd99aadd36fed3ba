// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The real print services: Qt's print dialog, which lists the print
// system's printers and offers "Print to File (PDF)", and the CUPS queue
// that takes the card's PDF as it is.

#include "Platform.h"

class QtPrintDialog : public PrintDialog {
public:
    PrintChoice showPrint(const QString& documentName) override;
};

// Talks to the scheduler the CUPS library finds (CUPS_SERVER, the user's
// client.conf, else the local one). Never asks for a password on a
// terminal: a program started from the desktop has none to ask on.
class CupsPrintQueue : public PrintQueue {
public:
    CupsPrintQueue();
    int submit(const PrintJob& job) override;
};
