// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The one error trap shared by every guarded procedure.
//
// A guarded procedure reads like its step table: each numbered line is one
// `step(number, ...)` call. When a step throws, the trap shows the error
// message for that step and execution resumes with the next line, so one root
// cause may produce a chain of messages in step order. Routines without a trap
// of their own simply throw `Failure`; the nearest guarded caller reports it
// under its own path and step number.

#include <QCoreApplication>
#include <QString>
#include <stdexcept>

class MessageBoxes;

// A failed operation. The description is shown unchanged (it may be empty).
class Failure : public std::exception {
public:
    explicit Failure(QString description) : mDescription(std::move(description)), mUtf8(mDescription.toUtf8()) {}
    const QString& description() const { return mDescription; }
    const char* what() const noexcept override { return mUtf8.constData(); }

private:
    QString mDescription;
    QByteArray mUtf8;
};

// The address the error message asks the user to send a screenshot to.
extern const char* const kSupportEmail;

// Builds the text of the error message (without showing it).
QString ErrorMessageText(const QString& description, const QString& procedurePath, int stepNumber);

// Shows the error message: title "Application Error", warning icon, OK only.
void ReportError(MessageBoxes& boxes, const QString& description, const QString& procedurePath, int stepNumber);

class ErrorTrap {
public:
    ErrorTrap(MessageBoxes& boxes, const char* procedurePath) : mBoxes(boxes), mPath(QString::fromLatin1(procedurePath)) {}

    // Runs one numbered line; a failure is reported and swallowed.
    template <class Body>
    void step(int number, Body&& body)
    {
        mStep = number;
        try {
            body();
        } catch (...) {
            reportCurrentException();
        }
    }

    // The test of a conditional on a numbered line. A test that fails is
    // reported and counts as true: execution resumes on the body's first line.
    template <class Condition>
    bool test(int number, Condition&& condition)
    {
        mStep = number;
        try {
            return condition();
        } catch (...) {
            reportCurrentException();
            return true;
        }
    }

    int currentStep() const { return mStep; }
    const QString& path() const { return mPath; }

private:
    void reportCurrentException();

    MessageBoxes& mBoxes;
    QString mPath;
    int mStep = 0;
};

// Throws the "object not set" failure when a reference that an earlier failed
// step was to fill is still empty.
template <class Pointer>
auto& Need(Pointer& pointer)
{
    if (!pointer)
        throw Failure(QCoreApplication::translate("ErrorTrap", "Object variable or With block variable not set"));
    return *pointer;
}
