// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "ErrorTrap.h"

#include "Platform.h"

const char* const kSupportEmail = "support@pelorin-greetings.example";

QString ErrorMessageText(const QString& description, const QString& procedurePath, int stepNumber)
{
    return description + QStringLiteral("\r\n") + QStringLiteral("in ") + procedurePath + QStringLiteral(" ")
        + QStringLiteral("at line ") + QString::number(stepNumber) + QStringLiteral("\r\r")
        + QStringLiteral("Please email screenshot of this message to ") + QString::fromLatin1(kSupportEmail);
}

void ReportError(MessageBoxes& boxes, const QString& description, const QString& procedurePath, int stepNumber)
{
    // Reporting must never fail in turn: whatever the box does is swallowed.
    try {
        boxes.show(ErrorMessageText(description, procedurePath, stepNumber), QStringLiteral("Application Error"),
                   MessageBoxes::OkOnly | MessageBoxes::Exclamation);
    } catch (...) {
    }
}

void ErrorTrap::reportCurrentException()
{
    QString description;
    try {
        throw;
    } catch (const Failure& failure) {
        description = failure.description();
    } catch (const std::exception& error) {
        description = QString::fromLocal8Bit(error.what());
    } catch (...) {
        description = QStringLiteral("Unexpected failure");
    }
    ReportError(mBoxes, description, mPath, mStep);
}
