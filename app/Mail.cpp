// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Mail.h"

#include "ErrorTrap.h"
#include "OffThread.h"
#include "Spawn.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QStandardPaths>
#include <QVariantMap>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
// How long the portal has to take the message.
constexpr int kPortalBoundMs = 5000;
// How long xdg-email has to say that it could not start a mail program;
// still running by then, it runs the mail program itself, which is started.
constexpr std::chrono::milliseconds kMailProgramBound(10000);

// True when the desktop's portal took the message; false when there is no
// portal, or none with e-mail, to ask.
bool ComposeThroughPortal(const QString& subject, const QString& attachment)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const int fd = ::open(QFile::encodeName(attachment).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Failure(QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral(": ") + attachment);
    // The descriptor keeps its own copy of the open file.
    const QDBusUnixFileDescriptor descriptor(fd);
    ::close(fd);
    qDBusRegisterMetaType<QList<QDBusUnixFileDescriptor>>();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Email"), QStringLiteral("ComposeEmail"));
    const QVariantMap options{
        {QStringLiteral("subject"), subject},
        {QStringLiteral("attachment_fds"), QVariant::fromValue(QList<QDBusUnixFileDescriptor>{descriptor})},
    };
    call << QString() << options;
    return bus.call(call, QDBus::Block, kPortalBoundMs).type() == QDBusMessage::ReplyMessage;
}

Failure NoMailProgram(const QString& why)
{
    return Failure(QCoreApplication::translate("Mail", "No mail program could be started: %1").arg(why));
}

void ComposeWithXdgEmail(const QString& subject, const QString& attachment)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        throw NoMailProgram(QCoreApplication::translate("Mail", "xdg-email (xdg-utils) is not installed."));
    const pid_t pid = SpawnInOwnSession(
        {QFile::encodeName(program), "--subject", subject.toUtf8(), "--attach", QFile::encodeName(attachment)});
    if (pid == 0)
        throw NoMailProgram(QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral(": ") + program);
    const auto end = std::chrono::steady_clock::now() + kMailProgramBound;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return;
            throw NoMailProgram(WIFEXITED(status)
                                    ? QCoreApplication::translate("Mail", "xdg-email ended with code %1.").arg(WEXITSTATUS(status))
                                    : QCoreApplication::translate("Mail", "xdg-email ended with signal %1.").arg(WTERMSIG(status)));
        }
        if (done < 0 && errno != EINTR)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Still running: the mail program in its foreground. Nothing else waits
    // for it, so that it leaves no zombie behind.
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}
} // namespace

void DesktopMail::compose(const QString& subject, const QString& attachment)
{
    WaitOffThread(
        std::chrono::milliseconds(kPortalBoundMs) + kMailProgramBound + std::chrono::seconds(2),
        [subject, attachment] {
            if (!ComposeThroughPortal(subject, attachment))
                ComposeWithXdgEmail(subject, attachment);
            return true;
        },
        QCoreApplication::translate("Mail", "No mail program could be started: the desktop did not answer."));
}
