// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The shared module: product name and title, the temporary folder, and the
// four file routines that carry the program's whole handling of files.

#include <QByteArray>
#include <QString>
#include <chrono>

extern const char* const kProductName;      // caption of both windows, settings section
extern const char* const kSettingsApplication;
extern const char* const kHomePageUrl;
extern const char* const kSupportPage;      // the contact page the Help message names

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

// Creates the folders of `path` that are missing, each with mode 0700
// whatever the umask. Throws Failure.
void MakeMissingFolders(const QString& path);
// Makes `path` a folder of this user's that nobody else may enter: created
// as above when missing; when it is ours but open to others, it is closed
// again. Returns true when others could write in it until now, so that what
// it holds is not to be trusted. Throws Failure, saying what to do, when it
// is somebody else's, a link or not a folder.
bool MakePrivateFolder(const QString& path);

// Writes all of `data` to `fd`; false (errno set) when the file system refused.
bool WriteAll(int fd, const QByteArray& data);
// The process's file mode creation mask, read without changing it (a change
// and its undoing would be seen by every other thread in between).
unsigned ProcessUmask();
// True exactly when the file system can report the path's modification time.
bool FileExists(const QString& path);
// Writes `data` to a new file at `path` unless one exists already. Never
// follows a symbolic link at `path`. Throws Failure.
void WriteFileIfMissing(const QByteArray& data, const QString& path);
// Deletes the file, forcibly when needed; never reports anything.
void DeleteFileQuietly(const QString& path);
// Makes the file writable and removes it. Throws Failure.
void ForceDeleteFile(const QString& path);

// Whether a written file must be on the disk before the write counts as done.
enum class Durability { Synced, Unsynced };
// Writes `data` to a fresh file beside `path` and renames it over `path`, so
// the old file stays intact until the new one is complete, and a symbolic
// link at `path` is replaced rather than followed. Throws Failure.
void WriteFileAtomically(const QByteArray& data, const QString& path, Durability durability = Durability::Synced);
// Writes `data` over the existing file at `path`, for a folder where no new
// file may be created. Throws Failure; a failure midway leaves a damaged file.
void OverwriteFileInPlace(const QByteArray& data, const QString& path);
// Writes one of the user's own files (the saved card, its PDF) with the
// permissions of any new file of the user's: through a fresh file and a
// rename, so a failed write leaves the user's file as it was and a read-only
// file in a writable folder is replaced all the same; in a folder where no
// file may be created, over an existing file the user may write. Throws Failure.
void WriteUserFile(const QByteArray& data, const QString& path);

// Held while a file is written. A program that is ending waits for the
// writes in progress, so that an end never leaves a user's file cut off;
// the temporary file of a write that still does not finish is removed.
class FileWriting {
public:
    // Wait: a user's file or one of the program's fixed names, finished
    // before the end. Remove: a file the office writes for itself, which an
    // end only removes; its office may well be the reason the end came.
    enum class AtEnd { Wait, Remove };
    explicit FileWriting(AtEnd atEnd = AtEnd::Wait);
    ~FileWriting();
    FileWriting(const FileWriting&) = delete;
    FileWriting& operator=(const FileWriting&) = delete;
    // The file this write made and renames or removes once done.
    void setTemporary(const QByteArray& path);

private:
    AtEnd mAtEnd;
    QByteArray mTemporary;
};
// Creates `path` holding `data`, never through a symbolic link there; a write
// cut short (a full disk, a quota) leaves no file. `writing`, when given,
// learns the file until it is complete. Throws Failure.
void WriteNewFile(const QByteArray& data, const QString& path, FileWriting* writing = nullptr);
// For a program that is ending, from any thread: waits up to `bound` for the
// writes in progress; false when some are still going. No write starts after.
bool WaitForFileWrites(std::chrono::milliseconds bound) noexcept;
// Removes the temporary files of the writes still going, and the files
// kept until the end.
void RemoveUnfinishedFiles() noexcept;
// A file the program keeps until it ends (a mail attachment, which a mail
// program may read late), in a folder made for it alone: both go then.
void KeepUntilTheEnd(const QString& file, const QString& folder);

class QImage;
class QWidget;
// Loads a picture file in whatever format it holds. Throws Failure.
QImage LoadPicture(const QString& path);
// Places a top-level window in the centre of its screen.
void CentreOnScreen(QWidget* window);
