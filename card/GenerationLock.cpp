// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "GenerationLock.h"

#include "ErrorTrap.h"
#include "Main.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

void GenerationLock::acquire(std::chrono::milliseconds bound)
{
    release();
    QByteArray path;
    try {
        path = QFile::encodeName(TempFolder() + QLatin1Char('/') + QLatin1String(kFileName));
    } catch (const Failure&) {
        return;  // the template's own write reports the folder
    }
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);  // a read-only folder
        if (fd < 0)
            return;
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                ::close(fd);
                return;
            }
            if (clock.elapsed() >= bound.count()) {
                ::close(fd);
                throw Failure(QCoreApplication::translate("GenerationLock",
                                                          "Another copy of %1 has been making a card for %2 seconds; "
                                                          "this card is made without waiting for it any longer.")
                                  .arg(QString::fromLatin1(kProductName))
                                  .arg(bound.count() / 1000));
            }
            // A click meanwhile finds the card under way, as during any other wait.
            DoEvents();
            QThread::msleep(20);
        }
        // The holder removes the file as it lets go: a lock won on a file no
        // longer under the name is no lock, and the name is tried anew.
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && held.st_dev == named.st_dev
            && held.st_ino == named.st_ino) {
            mFd = fd;
            mPath = path;
            return;
        }
        ::close(fd);
    }
}

void GenerationLock::release() noexcept
{
    if (mFd < 0)
        return;
    // Removed while still held, so no copy locks a file on its way out.
    ::unlink(mPath.constData());
    ::close(mFd);
    mFd = -1;
}
