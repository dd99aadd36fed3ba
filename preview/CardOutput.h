// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The card leaving the program: printed, or saved as a PDF. The preview
// window's menu entries for both are defined in CardOutput.cpp; these are
// the routines beneath them, which throw Failure for their caller's trap.

#include <QByteArray>
#include <QSizeF>
#include <QString>

class WordFactory;

// What the card is called on a printer's queue and in the print dialog.
extern const char* const kCardJobTitle;

// The card document as the office prints it: its page as a PDF, made by an
// office instance of its own that has ended when this returns.
QByteArray ExportCardPdf(WordFactory& word, const QString& cardDocument);

// The size of the PDF's first page, in points.
QSizeF PdfPageSize(const QByteArray& pdf);
