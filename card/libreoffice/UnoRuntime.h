// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The UNO runtime of this process and the small value helpers every office
// call needs: string and URL conversions, property lists, the interaction
// handler that answers every question with "abort", and an in-memory output
// stream.

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/io/XOutputStream.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/implbase1.hxx>

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <mutex>

namespace css = com::sun::star;

namespace uno {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

rtl::OUString toOU(const QString& s);
QString fromOU(const rtl::OUString& s);
// The file URL of a path, as the office expects it.
QString fileUrl(const QString& path);

css::beans::PropertyValue property(const char* name, const Any& value);
Sequence<css::beans::PropertyValue> properties(std::initializer_list<css::beans::PropertyValue> list);

// The UNO runtime of this process, bootstrapped once; throws Failure.
Reference<css::uno::XComponentContext> localContext();

// Answers every question the office would ask with "abort": no dialog, no repair.
class AbortingHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override;
};

// Collects what the office writes into memory, refusing more than `limit` bytes.
class MemoryOutput : public cppu::WeakImplHelper1<css::io::XOutputStream> {
public:
    explicit MemoryOutput(qsizetype limit) : mLimit(limit) {}
    void SAL_CALL writeBytes(const Sequence<sal_Int8>& data) override;
    void SAL_CALL flush() override {}
    void SAL_CALL closeOutput() override {}
    QByteArray data();

private:
    std::mutex mMutex;
    QByteArray mData;
    const qsizetype mLimit;
};

} // namespace uno
