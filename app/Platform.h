// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Everything outside the process that the windows talk to, each behind a
// small interface. The program uses the Qt implementations in QtPlatform.h;
// tests swap in their own.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class WordFactory;

class MessageBoxes {
public:
    // Style values and answers as the message box knows them.
    enum Style { OkOnly = 0, YesNo = 4, Exclamation = 48 };
    enum Answer { Ok = 1, Yes = 6, No = 7 };

    virtual ~MessageBoxes() = default;
    // Shows a modal message and returns the button pressed.
    virtual int show(const QString& text, const QString& title, int style) = 0;
};

class SaveDialog {
public:
    virtual ~SaveDialog() = default;
    // Shows the modal Save dialog; returns the chosen full path, or an empty
    // string when the user cancelled. `filter` is "Description|pattern".
    virtual QString showSave(const QString& title, const QString& filter, const QString& fileName) = 0;
};

// An option of a print job as lp takes it: a name and its value, such as
// "media" and "iso_a4_210x297mm".
using PrintOption = std::pair<QString, QString>;

// What the user chose in the print dialog: every setting it offers.
struct PrintChoice {
    bool accepted = false;  // false when the dialog was cancelled
    QString printer;        // the destination as listed: a queue, or "queue/instance"
    QString outputFile;     // the file named for "Print to File"
    int copies = 1;
    bool collate = true;
    QString media;          // the paper, by its PWG name ("iso_a4_210x297mm")
    bool landscape = false;
    bool grayscale = false;
    QString sides;          // "one-sided", "two-sided-long-edge" or "two-sided-short-edge"
    // The printer's own options set under Properties (quality, tray, media type).
    std::vector<PrintOption> printerOptions;
};

class PrintDialog {
public:
    virtual ~PrintDialog() = default;
    // Shows the system's modal print dialog for a document of one page,
    // opening on the last choice of this session.
    virtual PrintChoice showPrint(const QString& documentName) = 0;
};

// A PDF for a printer, with the options of its job.
struct PrintJob {
    QString printer;  // a queue, or "queue/instance"
    QString title;
    QByteArray pdf;
    std::vector<PrintOption> options;
};

class PrintQueue {
public:
    virtual ~PrintQueue() = default;
    // Returns once the print system has answered, or cannot be reached at
    // all; throws Failure when it stays silent for a few seconds, so that
    // nothing that asks it (the print dialog) waits on it without end.
    virtual void checkAnswers() = 0;
    // Hands the job to the print system and returns its number once the
    // printer's queue holds it; throws Failure when it does not get there.
    virtual int submit(const PrintJob& job) = 0;
};

class MailComposer {
public:
    virtual ~MailComposer() = default;
    // Opens a new message in the user's mail program with `subject` and the
    // file `attachment`, and no address: the user chooses. Returns once the
    // mail program has it; throws Failure when no mail program can be started.
    virtual void compose(const QString& subject, const QString& attachment) = 0;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& application, const QString& section, const QString& key,
                         const QString& defaultValue) = 0;
    virtual void write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
};

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Starts a program without waiting for it; throws Failure when it cannot start.
    virtual void startDetached(const QString& program, const QStringList& arguments) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setImage(const QImage& image) = 0;
    // One copy in two forms: the picture (image/png and the other picture
    // types) and the PDF (application/pdf), for whichever a program pastes.
    virtual void setCard(const QImage& picture, const QByteArray& pdf) = 0;
    // The clipboard's picture; throws Failure when it holds none or is busy.
    virtual QImage image() = 0;
};

// Ends the program: no further handler runs once this has been called.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void end() = 0;
    virtual bool ended() const = 0;
};

// The services handed to both windows.
struct Platform {
    MessageBoxes& messageBoxes;
    SaveDialog& saveDialog;
    PrintDialog& printDialog;
    PrintQueue& printQueue;
    MailComposer& mail;
    SettingsStore& settings;
    ProcessStarter& processes;
    Clipboard& clipboard;
    WordFactory& word;
    ProgramEnd& programEnd;
    // Fraction in [0, 1) after the generator was seeded with `seed`.
    std::function<void(double seed)> randomize;
    std::function<double()> random;
    // Seconds since midnight, with fractions at the clock's full resolution.
    std::function<double()> timer;
    // Folder of the running program, without a trailing "/".
    QString programFolder;
};
