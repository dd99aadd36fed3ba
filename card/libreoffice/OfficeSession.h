// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// One office instance as the automation objects see it: its process, the
// UNO connection to it, the watchdog that bounds every call, and how it
// ends. Shared by the application object and its documents; only the
// application object ends it.

#include "OfficeOptions.h"
#include "OfficeProcess.h"
#include "ProfileCache.h"
#include "UnoRuntime.h"
#include "Watchdog.h"

#include "ErrorTrap.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>

#include <QCoreApplication>

#include <memory>
#include <type_traits>
#include <vector>

class Clipboard;
class LoDocument;

class OfficeSession {
public:
    OfficeSession(Clipboard& clipboard, LibreOfficeOptions options)
        : clipboard(clipboard), options(std::move(options)), profiles(this->options)
    {
    }
    ~OfficeSession() { end(); }
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    void start();
    void quit();
    // Kills and cleans up; never throws.
    void end() noexcept;
    void ensureAlive() const
    {
        if (!alive)
            throw Failure(QCoreApplication::translate("OfficeSession", "The office engine is no longer running."));
    }

    // Runs one call into the office under the watchdog; `failure` starts the
    // description of any error.
    template <class F>
    auto call(const QString& failure, F&& body, int timeoutMs = 0) -> decltype(body())
    {
        ensureAlive();
        const int bound = timeoutMs > 0 ? timeoutMs : options.callTimeoutMs;
        // The guard shares the watchdog: a failed call may end the session inside.
        struct Arm {
            std::shared_ptr<Watchdog> dog;
            Arm(std::shared_ptr<Watchdog> d, int ms) : dog(std::move(d)) { dog->arm(ms); }
            ~Arm() { dog->disarm(); }
        } arm(watchdog, bound);
        try {
            if constexpr (std::is_void_v<decltype(body())>) {
                body();
                checkAfterCall(failure, bound);
            } else {
                auto result = body();
                checkAfterCall(failure, bound);
                return result;
            }
        } catch (const css::lang::DisposedException&) {
            // The bridge throws this once the connection has dropped: nothing
            // more can be asked of that office, even while its launcher lingers.
            checkAfterCall(failure, bound);
            connectionLost(failure);
        } catch (const css::uno::Exception& e) {
            checkAfterCall(failure, bound);
            if (process && !process->officeRunning())
                connectionLost(failure);
            const QString message = uno::fromOU(e.Message).trimmed();
            throw Failure(message.isEmpty() ? failure : QStringLiteral("%1 (%2)").arg(failure, message));
        }
    }

    uno::Reference<css::frame::XDesktop2> desktop;
    Clipboard& clipboard;
    LibreOfficeOptions options;
    ProfileCache profiles;
    bool alive = false;
    bool displayAlerts = true;
    std::vector<std::weak_ptr<LoDocument>> documents;  // opened order; the last open one is active

private:
    void checkAfterCall(const QString& failure, int bound)
    {
        if (watchdog && watchdog->fired()) {
            end();
            throw Failure(QCoreApplication::translate("OfficeSession",
                                                      "The office engine did not answer within %1 seconds and was stopped (%2).")
                              .arg(QString::number(bound / 1000.0), failure));
        }
        if (process && !process->running()) {
            const QString how = process->exitDescription();
            end();
            throw Failure(QCoreApplication::translate("OfficeSession", "%1: the office engine ended unexpectedly (%2).")
                .arg(failure, how));
        }
    }
    [[noreturn]] void connectionLost(const QString& failure)
    {
        // While ending, the office may well drop the connection as it quits.
        if (!ending) {
            lost = true;
            end();
        }
        throw Failure(QCoreApplication::translate("OfficeSession",
                                                  "%1: the office engine ended unexpectedly (the connection to it was lost).")
            .arg(failure));
    }
    void connect(const QString& pipe);

    std::unique_ptr<OfficeProcess> process;
    std::shared_ptr<Watchdog> watchdog;
    uno::Reference<css::lang::XComponent> bridge;
    bool ending = false;
    bool lost = false;  // the connection dropped: nothing to ask, nothing to wait for
    QString pipe;
    QString profileUrl;
};
