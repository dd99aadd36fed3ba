#pragma once
// The real implementations of the platform services.

#include "Platform.h"

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
    QImage image() override;
};

class QtProgramEnd : public ProgramEnd {
public:
    void end() override;
    bool ended() const override { return mEnded; }

private:
    bool mEnded = false;
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
