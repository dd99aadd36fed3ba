// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The card leaving the program: its Word file saved under a name of the
// user's, the card printed, saved as a PDF, sent by e-mail, copied or saved
// as a picture. These are procedures of the preview window, trapped under
// its name; the window wires them to its buttons, menu and keys. While any
// but the Word file's runs, the window is busy: its pointer shows it, and
// it takes no input.

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <cstdint>

class BusyWindow;
class ErrorTrap;
class WindowPointer;
class WordFactory;
struct Platform;

// What the card is called on a printer's queue and in the print dialog,
// before translation (context "CardOutput").
extern const char* const kCardJobTitle;

// What a mail with the card says, before translation (context "CardOutput"),
// and the card's file name there, a name the same in every language.
extern const char* const kCardMailSubject;
extern const char* const kCardMailAttachment;
// Printing detail, in dots per inch of the card's page, for the card as a
// picture on the clipboard or in a file.
constexpr double kCardPictureDotsPerInch = 300;

// The card document as the office prints it: its page as a PDF, made by an
// office instance of its own that has ended when this returns.
QByteArray ExportCardPdf(WordFactory& word, const QString& cardDocument);

class CardOutput {
    Q_DECLARE_TR_FUNCTIONS(CardOutput)

public:
    CardOutput(Platform& platform, BusyWindow& busy, WindowPointer& pointer);

    // Each takes the card from its document in the temporary folder.
    // "Save Results To Word File": a byte copy of the document.
    void SaveWordFile(const QString& cardDocument);
    // "Print…": the print dialog, then the card's PDF to the printer or file chosen.
    void Print(const QString& cardDocument);
    // "Save as PDF…".
    void SavePdf(const QString& cardDocument);
    // "Send by E-mail…": a new message in the user's mail program, the
    // card's PDF attached.
    void SendByEmail(const QString& cardDocument);
    // "Copy": the card on the clipboard, as a picture and as its PDF.
    void Copy(const QString& cardDocument);
    // "Save as Picture…": a PNG or a JPEG, by the name's suffix.
    void SavePicture(const QString& cardDocument);

    // The card's PDF as exported from `cardDocument`: every output of that
    // document (print, PDF, mail, copy, picture) takes it instead of
    // exporting it again.
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
