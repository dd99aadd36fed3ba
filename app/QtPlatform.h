// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The real implementations of the platform services.

#include "Platform.h"

#include <atomic>
#include <functional>
#include <random>

class QtMessageBoxes : public MessageBoxes {
public:
    int show(const QString& text, const QString& title, int style) override;
};

class QtSaveDialog : public SaveDialog {
public:
    QString showSave(const QString& title, const QString& filter, const QString& fileName) override;
};

// QSettings in INI format: the application key names the file under the
// user's config folder, the section is the group.
class QtSettingsStore : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override;
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
};

class QtProcessStarter : public ProcessStarter {
public:
    void startDetached(const QString& program, const QStringList& arguments) override;
};

class QtClipboard : public Clipboard {
public:
    void setImage(const QImage& image) override;
    void setCard(const QImage& picture, const QByteArray& pdf) override;
    QImage image() override;
};

// Ends the process at once: `beforeEnd` (ending what must not outlive the
// program, such as office instances) runs first, then nothing else does.
// SIGTERM, SIGINT and SIGHUP close the program as the close box of its
// visible window would; when the user interface is held up (a call into the
// office can take up to a minute) the program ends without it.
class QtProgramEnd : public ProgramEnd {
public:
    explicit QtProgramEnd(std::function<void()> beforeEnd = {}) : mBeforeEnd(std::move(beforeEnd)) {}
    // Does not return; a second caller waits for the first to end the process.
    void end() override;
    bool ended() const override { return mEnded; }

    // Blocks the end signals in the calling thread and in every thread it
    // starts later; call it first thing in main, before any thread exists.
    static void BlockEndSignals();
    // Starts the thread that takes the end signals.
    void EndOnSignals();

private:
    // Closes the visible window (which ends the program); ends it when there is none.
    void CloseVisibleWindow();

    std::function<void()> mBeforeEnd;
    std::atomic<bool> mEnded{false};
};

// A seedable generator; reseeding with the same value repeats the sequence.
class RandomGenerator {
public:
    void seed(double value);
    double next(); // uniform in [0, 1)

private:
    std::mt19937_64 mEngine{0x5eed};
};

// Seconds since local midnight at the clock's full resolution.
double SecondsSinceMidnight();
