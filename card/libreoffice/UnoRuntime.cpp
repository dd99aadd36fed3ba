// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "UnoRuntime.h"

#include "ErrorTrap.h"

#include <cppuhelper/bootstrap.hxx>

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include <csignal>

namespace uno {

rtl::OUString toOU(const QString& s)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), sal_Int32(s.size()));
}

QString fromOU(const rtl::OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

QString fileUrl(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

css::beans::PropertyValue property(const char* name, const Any& value)
{
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

Sequence<css::beans::PropertyValue> properties(std::initializer_list<css::beans::PropertyValue> list)
{
    Sequence<css::beans::PropertyValue> out(sal_Int32(list.size()));
    sal_Int32 i = 0;
    for (const auto& p : list)
        out.getArray()[i++] = p;
    return out;
}

Reference<css::uno::XComponentContext> localContext()
{
    static std::mutex mutex;
    static Reference<css::uno::XComponentContext> context;
    std::lock_guard<std::mutex> lock(mutex);
    if (!context.is()) {
        // The bridge's last words to an office that has just ended meet a
        // closed pipe: that write must fail, not end this process. What the
        // process starts gets the default back.
        ::signal(SIGPIPE, SIG_IGN);
        if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
            qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc");
        try {
            context = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const cppu::BootstrapException& e) {
            throw Failure(QCoreApplication::translate("UnoRuntime", "The office engine could not be started: %1")
                .arg(fromOU(e.getMessage())));
        } catch (const css::uno::Exception& e) {
            throw Failure(QCoreApplication::translate("UnoRuntime", "The office engine could not be started: %1")
                .arg(fromOU(e.Message)));
        }
    }
    return context;
}

void AbortingHandler::handle(const Reference<css::task::XInteractionRequest>& request)
{
    const Sequence<Reference<css::task::XInteractionContinuation>> choices = request->getContinuations();
    for (sal_Int32 i = 0; i < choices.getLength(); ++i) {
        Reference<css::task::XInteractionAbort> abort(choices[i], UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
}

void MemoryOutput::writeBytes(const Sequence<sal_Int8>& data)
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (mData.size() + data.getLength() > mLimit)
        throw css::io::IOException(rtl::OUString::createFromAscii("picture too large"));
    mData.append(reinterpret_cast<const char*>(data.getConstArray()), data.getLength());
}

QByteArray MemoryOutput::data()
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mData;
}

} // namespace uno
