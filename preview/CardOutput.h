// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The card leaving the program: its Word file saved under a name of the
// user's, the card printed, or saved as a PDF. These are procedures of the
// preview window, trapped under its name; the window wires them to its
// buttons, menu and keys. While a print or an export runs, the window is
// busy: its pointer shows it, and it takes no input.

#include <QByteArray>
#include <QString>
#include <cstdint>

class BusyWindow;
class ErrorTrap;
class WindowPointer;
class WordFactory;
struct Platform;

// What the card is called on a printer's queue and in the print dialog.
extern const char* const kCardJobTitle;

// The card document as the office prints it: its page as a PDF, made by an
// office instance of its own that has ended when this returns.
QByteArray ExportCardPdf(WordFactory& word, const QString& cardDocument);

class CardOutput {
public:
    CardOutput(Platform& platform, BusyWindow& busy, WindowPointer& pointer);

    // Each takes the card from its document in the temporary folder.
    // "Save Results To Word File": a byte copy of the document.
    void SaveWordFile(const QString& cardDocument);
    // "Print…": the print dialog, then the card's PDF to the printer or file chosen.
    void Print(const QString& cardDocument);
    // "Save as PDF…".
    void SavePdf(const QString& cardDocument);

    // The card's PDF as exported from `cardDocument`: printing and saving
    // that document as PDF take it instead of exporting it again.
    void KeepCardPdf(const QString& cardDocument, const QByteArray& pdf);
    void ForgetCardPdf();

private:
    // Steps 106 to 126 of a save: the Save dialog, and the overwrite
    // question when the file named exists. Returns Yes (6) when the file
    // may be written, 0 when the dialog was cancelled (`target` empty).
    int16_t AskForSaveTarget(ErrorTrap& trap, const QString& title, const QString& filterText, QString& target);
    QByteArray CardPdf(const QString& cardDocument);

    Platform& mPlatform;
    BusyWindow& mBusy;
    WindowPointer& mPointer;
    QString mKeptPdfDocument;
    QByteArray mKeptPdf;
};
