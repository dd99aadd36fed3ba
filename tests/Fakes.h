// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// Recording and scriptable stand-ins for the platform services, for tests only.

#include "ErrorTrap.h"
#include "Platform.h"
#include "WordAutomation.h"

#include <QBuffer>
#include <QFile>
#include <QMap>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <algorithm>
#include <deque>
#include <functional>

struct ShownMessage {
    QString text;
    QString title;
    int style;
};

class RecordingMessageBoxes : public MessageBoxes {
public:
    int show(const QString& text, const QString& title, int style) override
    {
        shown.push_back({text, title, style});
        if (onShow)
            onShow(shown.back());
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (style & 7) == YesNo ? Yes : Ok;
    }
    // Error messages only: their "in <path> at line <n>" parts.
    QStringList errorSteps() const
    {
        QStringList steps;
        for (const ShownMessage& message : shown) {
            if (message.title != QLatin1String("Application Error"))
                continue;
            const int in = message.text.indexOf(QLatin1String("\r\nin "));
            const int end = message.text.indexOf(QLatin1Char('\r'), in + 2);
            const QString where = message.text.mid(in + 5, end - in - 5); // "<path> at line <n>"
            steps << where.section(QLatin1Char('.'), -1).replace(QLatin1String(" at line "), QLatin1String(":"));
        }
        return steps;
    }
    std::vector<ShownMessage> shown;
    std::deque<int> answers;
    std::function<void(const ShownMessage&)> onShow;
};

class ScriptedSaveDialog : public SaveDialog {
public:
    QString showSave(const QString& title, const QString& filter, const QString& fileName) override
    {
        calls << (title + QLatin1Char('|') + filter + QLatin1Char('|') + fileName);
        return answer;
    }
    QString answer;
    QStringList calls;
};

// Answers as told (cancelled unless told otherwise).
class ScriptedPrintDialog : public PrintDialog {
public:
    PrintChoice showPrint(const QString& documentName) override
    {
        calls << documentName;
        return answer;
    }
    PrintChoice answer;
    QStringList calls;
};

// Keeps every job it is handed; fails with `failure` when one is set, and
// is silent (as a print server that never answers) when told to be.
class RecordingPrintQueue : public PrintQueue {
public:
    void checkAnswers() override
    {
        ++checks;
        if (silent)
            throw Failure(QStringLiteral("The card could not be printed: the print system (CUPS) does not answer at /run/cups/cups.sock."));
    }
    int submit(const PrintJob& job) override
    {
        jobs.push_back(job);
        if (!failure.isEmpty())
            throw Failure(failure);
        return int(jobs.size());
    }
    // The value of the job's option `name`; a null string when it has none.
    static QString option(const PrintJob& job, const QString& name)
    {
        for (const PrintOption& option : job.options)
            if (option.first == name)
                return option.second;
        return QString();
    }
    std::vector<PrintJob> jobs;
    QString failure;
    bool silent = false;
    int checks = 0;
};

// Records each message it is asked to open, with the attachment's bytes as
// they were then; fails with `failure` when one is set.
class RecordingMailComposer : public MailComposer {
public:
    struct Message {
        QString subject;
        QString attachment;
        QByteArray attached;
    };
    void compose(const QString& subject, const QString& attachment) override
    {
        QFile file(attachment);
        messages.push_back({subject, attachment, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray()});
        if (!failure.isEmpty())
            throw Failure(failure);
    }
    std::vector<Message> messages;
    QString failure;
};

class MemorySettingsStore : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override
    {
        if (failReads)
            throw Failure(QStringLiteral("settings unavailable"));
        const QString full = application + QLatin1Char('/') + section + QLatin1Char('/') + key;
        return values.contains(full) ? values.value(full) : defaultValue;
    }
    void write(const QString& application, const QString& section, const QString& key, const QString& value) override
    {
        values.insert(application + QLatin1Char('/') + section + QLatin1Char('/') + key, value);
        ++writes;
    }
    QMap<QString, QString> values;
    int writes = 0;
    bool failReads = false;
};

class RecordingProcessStarter : public ProcessStarter {
public:
    void startDetached(const QString& program, const QStringList& arguments) override
    {
        started << (program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
    }
    QStringList started;
};

class MemoryClipboard : public Clipboard {
public:
    void setImage(const QImage& image) override { picture = image; }
    void setCard(const QImage& cardPicture, const QByteArray& cardPdf) override
    {
        if (failCard)
            throw Failure(QStringLiteral("clipboard busy"));
        picture = cardPicture;
        pdf = cardPdf;
    }
    QImage image() override
    {
        ++requests;
        if (busyRequests > 0) {
            --busyRequests;
            throw Failure(QStringLiteral("clipboard busy"));
        }
        if (picture.isNull())
            throw Failure(QStringLiteral("no picture"));
        return picture;
    }
    QImage picture;
    QByteArray pdf;
    bool failCard = false;
    int busyRequests = 0;
    int requests = 0;
};

class RecordingProgramEnd : public ProgramEnd {
public:
    void end() override { ++ends; }
    bool ended() const override { return ends > 0; }
    int ends = 0;
};

// A word engine that records each call and fails where told to. Saving
// writes a small file so that the file-system effects can be checked.
class FakeWord : public WordFactory {
public:
    QStringList calls;
    QStringList failing;       // operation names that throw, e.g. "CreateObject", "Open"
    int instances = 0;         // created and not yet destroyed
    int spares = 0;            // started ahead and not yet taken by a CreateObject
    QImage picture = DefaultPicture();
    QByteArray pdf = DefaultPdf();  // what an export gives
    Clipboard* clipboard = nullptr;
    std::function<void()> duringCreate;
    QString withoutFont;        // characters the engine has no font for

    // A one-page US Letter PDF whose text is "Thank you".
    static QByteArray DefaultPdf()
    {
        static const QByteArray pdf = [] {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setPageSize(QPageSize(QPageSize::Letter));
            QPainter painter(&writer);
            painter.drawText(QPointF(500, 500), QStringLiteral("Thank you"));
            painter.end();
            return bytes;
        }();
        return pdf;
    }

    static QImage DefaultPicture()
    {
        QImage image(40, 60, QImage::Format_RGB32);
        image.fill(QColor(153, 153, 51));
        return image;
    }

    void call(const QString& operation, const QString& argument = QString())
    {
        calls << (argument.isNull() ? operation : operation + QLatin1Char(' ') + argument);
        if (failing.contains(operation))
            throw Failure(operation + QStringLiteral(" failed"));
    }

    class Document : public WordDocument {
    public:
        Document(FakeWord& word, QString path) : mWord(word), mPath(std::move(path)) {}
        void SelectShape(const QString& name) override { mWord.call(QStringLiteral("SelectShape"), name); }
        void TypeText(const QString& text) override
        {
            mWord.call(QStringLiteral("TypeText"), text);
            mText = text;
        }
        void SaveAs(const QString& path) override
        {
            mWord.call(QStringLiteral("SaveAs"), path);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                throw Failure(QStringLiteral("cannot save"));
            file.write("card:" + mText.toUtf8());
        }
        void Close() override { mWord.call(QStringLiteral("Close")); }
        void CopyRangeAsPicture() override
        {
            mRendered.clear();
            mWord.call(QStringLiteral("CopyRangeAsPicture"));
            if (mWord.clipboard)
                mWord.clipboard->setImage(mWord.picture);
            mRendered = DefaultPdf();
        }
        QByteArray RenderedPdf() const override { return mRendered; }
        QByteArray ExportAsPdf() override
        {
            mWord.call(QStringLiteral("ExportAsPdf"));
            return mWord.pdf;
        }

    private:
        FakeWord& mWord;
        QString mPath;
        QString mText;
        QByteArray mRendered;
    };

    class Application : public WordApplication {
    public:
        explicit Application(FakeWord& word) : mWord(word) { ++mWord.instances; }
        ~Application() override { --mWord.instances; }
        std::shared_ptr<WordDocument> Open(const QString& path, bool readOnly) override
        {
            mWord.call(readOnly ? QStringLiteral("OpenReadOnly") : QStringLiteral("Open"), path);
            if (!QFile::exists(path))
                throw Failure(QStringLiteral("file not found"));
            ++mOpenDocuments;
            return std::make_shared<Document>(mWord, path);
        }
        void SetDisplayAlerts(bool value) override
        {
            mWord.call(QStringLiteral("SetDisplayAlerts"), value ? QStringLiteral("true") : QStringLiteral("false"));
        }
        void CloseActiveDocument(short saveChanges) override
        {
            mWord.call(QStringLiteral("CloseActiveDocument"), QString::number(saveChanges));
            if (mOpenDocuments == 0)
                throw Failure(QStringLiteral("This command is not available because no document is open."));
            --mOpenDocuments;
        }
        void Quit() override { mWord.call(QStringLiteral("Quit")); }

    private:
        FakeWord& mWord;
        int mOpenDocuments = 0;
    };

    std::unique_ptr<WordApplication> CreateObject(const QString& progId) override
    {
        if (duringCreate)
            duringCreate();
        call(QStringLiteral("CreateObject"), progId);
        spares = std::max(spares - 1, 0);  // a spare is handed out
        return std::make_unique<Application>(*this);
    }

    // A spare that does not come up shows as a failing CreateObject.
    void StartSpare(const QString& progId) override
    {
        calls << QStringLiteral("StartSpare ") + progId;
        ++spares;
    }

    QStringList CharactersWithoutFont(const QString& text) override
    {
        QStringList missing;
        for (const char32_t code : text.toUcs4()) {
            const QString character = QString::fromUcs4(&code, 1);
            if (withoutFont.contains(character) && !missing.contains(character))
                missing << character;
        }
        return missing;
    }
};

// All services at once, with a generator that replays scripted fractions.
struct TestPlatform {
    RecordingMessageBoxes messageBoxes;
    ScriptedSaveDialog saveDialog;
    ScriptedPrintDialog printDialog;
    RecordingPrintQueue printQueue;
    RecordingMailComposer mail;
    MemorySettingsStore settings;
    RecordingProcessStarter processes;
    MemoryClipboard clipboard;
    FakeWord word;
    RecordingProgramEnd programEnd;
    std::deque<double> fractions;
    double fallbackFraction = 0.5;
    QList<double> seeds;
    double clock = 1000.0;
    Platform platform{messageBoxes, saveDialog, printDialog, printQueue, mail, settings, processes, clipboard, word, programEnd,
                      [this](double seed) { seeds << seed; },
                      [this] {
                          if (fractions.empty())
                              return fallbackFraction;
                          const double value = fractions.front();
                          fractions.pop_front();
                          return value;
                      },
                      [this] { return clock += 0.001; },
                      QString()};

    TestPlatform() { word.clipboard = &clipboard; }
};
