// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "OfficeSession.h"

#include "Main.h"
#include "OfficeFolders.h"
#include "OfficeGuard.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <rtl/bootstrap.hxx>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace uno;

namespace {
// How long an office may take to end after it was asked to terminate.
constexpr int kQuitGraceMs = 10000;
// How long the request to terminate may take before the office is killed instead.
constexpr int kTerminateBoundMs = 10000;
// How often an office may ask to be started again before it counts as failed.
// A new profile's office, slowed down by a busy machine, has been seen to ask
// three times; its own launcher never stops, and the start's bound holds anyway.
constexpr int kMostRestarts = 5;
}  // namespace

void OfficeSession::start()
{
    const Reference<css::uno::XComponentContext> local = localContext();
    process = std::make_unique<OfficeProcess>();
    const QString folder = process->folder();
    const QString profile = folder + QStringLiteral("/profile");
    pipe = QStringLiteral("pelorin-%1-%2")
                             .arg(::getpid())
                             .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    QList<QPair<QByteArray, QByteArray>> environment;
    // What goes into the folder before its office starts; released before the
    // start, which waits for the instances' lock.
    auto writing = process->useFolder();
    ::mkdir(QFile::encodeName(folder + QStringLiteral("/tmp")).constData(), 0700);
    environment.append({"TMPDIR", QFile::encodeName(folder + QStringLiteral("/tmp"))});
    if (!options.fontConfig.isEmpty()) {
        const QString fonts = folder + QStringLiteral("/fonts.conf");
        try {
            WriteNewFile(options.fontConfig, fonts);
        } catch (const Failure& failure) {
            throw Failure(QCoreApplication::translate("OfficeSession",
                                                      "The office engine could not be started: cannot write its font settings (%1)")
                              .arg(failure.description()));
        }
        environment.append({"FONTCONFIG_FILE", QFile::encodeName(fonts)});
    }
    environment.append({"GLIBC_TUNABLES", OfficeTunables(qgetenv("GLIBC_TUNABLES"))});
    // Neither /tmp nor /var/tmp takes files: the office and this side of the
    // connection both look for the pipe where they are told.
    const QString sockets = OfficeSocketFolder();
    if (OfficeMustBeToldOf(sockets)) {
        environment.append({"OSL_SOCKET_PATH", QFile::encodeName(sockets)});
        rtl::Bootstrap::set(rtl::OUString::createFromAscii("OSL_SOCKET_PATH"), toOU(sockets));
    }
    profiles.prepare(profile);
    writing.unlock();
    profileUrl = QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded);
    const QStringList arguments{
        QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--nologo"),
        QStringLiteral("--norestore"), QStringLiteral("--nodefault"), QStringLiteral("--nolockcheck"),
        QStringLiteral("--nofirststartwizard"),
        QStringLiteral("-env:UserInstallation=") + profileUrl,
        QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe)};
    try {
        process->start(options.launcher, arguments, environment, OfficeSocketPaths(pipe, profileUrl));
        watchdog = std::make_shared<Watchdog>(*process);
        connect(pipe);
        alive = true;
    } catch (...) {
        end();
        profiles.dropIfUsed();
        throw;
    }
}

void OfficeSession::connect(const QString& pipe)
{
    const Reference<css::uno::XComponentContext> local = localContext();
    QElapsedTimer clock;
    clock.start();
    const auto fail = [&](const QString& reason) {
        return Failure(QCoreApplication::translate("OfficeSession", "The office engine could not be started: %1")
            .arg(reason));
    };
    // One bound for the whole start, enforced by the watchdog as well, since a
    // connection to a stopped office would block instead of failing.
    watchdog->arm(options.startTimeoutMs);
    struct Disarm {
        Watchdog& dog;
        ~Disarm() { dog.disarm(); }
    } disarm{*watchdog};
    try {
        const Reference<css::connection::XConnector> connector = css::connection::Connector::create(local);
        // The office makes its pipe's socket as it begins to accept: until
        // then a look at the file is all a wait costs, so it can look often.
        const QByteArray socket = QFile::encodeName(OfficeSocketPaths(pipe, QString()).constFirst());
        int restarts = 0;
        Reference<css::connection::XConnection> connection;
        while (!connection.is()) {
            struct stat st;
            if (::lstat(socket.constData(), &st) == 0) {
                try {
                    connection = connector->connect(toOU(QStringLiteral("pipe,name=") + pipe));
                    continue;
                } catch (const css::connection::NoConnectException&) {
                }
            }
            if (watchdog->fired() || clock.elapsed() > options.startTimeoutMs)
                throw fail(QCoreApplication::translate("OfficeSession", "it did not come up within %1 seconds")
                    .arg(options.startTimeoutMs / 1000.0));
            if (!process->running()) {
                // On a new profile the office registers its extensions and asks
                // to be started again, which its own launcher would do. Asked
                // only once it is seen ended: an office that ended between two
                // looks would otherwise count as failed.
                if (process->restartRequested() && restarts++ < kMostRestarts) {
                    process->restart();
                    continue;
                }
                const QString log = process->logTail();
                throw fail(process->exitDescription() + (log.isEmpty() ? QString() : QStringLiteral(": ") + log));
            }
            QThread::msleep(2);
        }
        const Reference<css::bridge::XBridgeFactory2> factory = css::bridge::BridgeFactory::create(local);
        const Reference<css::bridge::XBridge> xbridge =
            factory->createBridge(rtl::OUString(), rtl::OUString::createFromAscii("urp"), connection, nullptr);
        bridge.set(xbridge, UNO_QUERY);
        const Reference<css::uno::XComponentContext> remote(
            xbridge->getInstance(rtl::OUString::createFromAscii("StarOffice.ComponentContext")), UNO_QUERY_THROW);
        desktop = css::frame::Desktop::create(remote);
    } catch (const css::uno::Exception& e) {
        if (watchdog->fired())
            throw fail(QCoreApplication::translate("OfficeSession", "it did not answer within %1 seconds")
                .arg(options.startTimeoutMs / 1000.0));
        throw fail(fromOU(e.Message));
    }
    if (watchdog->fired())
        throw fail(QCoreApplication::translate("OfficeSession", "it did not answer within %1 seconds")
            .arg(options.startTimeoutMs / 1000.0));
}

void OfficeSession::quit()
{
    ensureAlive();
    end();
}

void OfficeSession::end() noexcept
{
    // A failed call below ends the session too; the outer end finishes the work.
    if (ending)
        return;
    ending = true;
    const bool answering = alive && !lost && desktop.is() && watchdog && !watchdog->fired() && process && process->running();
    bool terminated = false;
    if (answering) {
        try {
            terminated = call(QCoreApplication::translate("OfficeSession", "Word could not quit"),
                              [&] { return bool(desktop->terminate()); },
                              std::min(options.callTimeoutMs, kTerminateBoundMs));
        } catch (...) {
            // The office may drop the connection before it answers; it is ended below either way.
        }
    }
    alive = false;
    desktop.clear();
    if (bridge.is()) {
        try {
            bridge->dispose();
        } catch (...) {
        }
        bridge.clear();
    }
    if (process) {
        const bool clean = !lost && (!watchdog || !watchdog->fired());
        // Once terminated, an office has closed its documents; what it still
        // does on its own is write a profile that is thrown away and free its
        // memory, so it is ended at once. Only an office whose profile is to
        // prepare the later ones is left to end cleanly.
        process->stop(clean && (!terminated || profiles.wouldTake()) ? kQuitGraceMs : 0);
        if (watchdog)
            watchdog->shutdown();
        watchdog.reset();
        // A profile is whole only once its office has ended by itself and well.
        if (clean && process->endedByItself()) {
            try {
                profiles.offer(process->folder() + QStringLiteral("/profile"));
            } catch (...) {
            }
        }
        // Ended now; its private folder goes on a thread of its own.
        OfficeProcess::Dispose(std::move(process));
    }
}
