// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The shared module: product name and title, the temporary folder, and the
// four file routines that carry the program's whole handling of files.

#include <QByteArray>
#include <QString>

extern const char* const kProductName;      // caption of both windows, settings section
extern const char* const kSettingsApplication;
extern const char* const kHomePageUrl;
extern const char* const kSupportContact;   // team name and contact page of the Help message

// The application title every untitled message box carries.
QString AppTitle();
// Cuts `name` at its last space, again while longer than 40 characters.
QString ShortenedTitle(const QString& name);
// Sets the application title from the product name.
void SetAppTitle();

// One pass of the event loop: input queued meanwhile is handled now.
void DoEvents();

// The temporary folder: TEMP when set and not empty, else a private folder
// of the user's own (mode 0700, not a symbolic link), created when missing.
// Read anew at every use. Throws Failure when no safe folder can be had.
QString TempFolder();

// True exactly when the file system can report the path's modification time.
bool FileExists(const QString& path);
// Writes `data` to a new file at `path` unless one exists already. Never
// follows a symbolic link at `path`. Throws Failure.
void WriteFileIfMissing(const QByteArray& data, const QString& path);
// Deletes the file, forcibly when needed; never reports anything.
void DeleteFileQuietly(const QString& path);
// Makes the file writable and removes it. Throws Failure.
void ForceDeleteFile(const QString& path);

// Writes `data` to a fresh file beside `path` and renames it over `path`, so
// the old file stays intact until the new one is complete, and a symbolic
// link at `path` is replaced rather than followed. Throws Failure.
void WriteFileAtomically(const QByteArray& data, const QString& path);
// Writes `data` over the existing file at `path`, for a folder where no new
// file may be created. Throws Failure; a failure midway leaves a damaged file.
void OverwriteFileInPlace(const QByteArray& data, const QString& path);

class QImage;
class QWidget;
// Loads a picture file in whatever format it holds. Throws Failure.
QImage LoadPicture(const QString& path);
// Places a top-level window in the centre of its screen.
void CentreOnScreen(QWidget* window);
