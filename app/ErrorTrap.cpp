// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "ErrorTrap.h"

#include "Platform.h"

#include <QCoreApplication>

const char* const kSupportEmail = "support@pelorin-greetings.example";

QString ErrorMessageText(const QString& description, const QString& procedurePath, int stepNumber)
{
    // The procedure's path names the place in the program for its support
    // team: it stays as it is in every language.
    return description + QStringLiteral("\r\n")
        + QCoreApplication::translate("ErrorTrap", "in %1 at line %2").arg(procedurePath, QString::number(stepNumber))
        + QStringLiteral("\r\r")
        + QCoreApplication::translate("ErrorTrap", "Please email screenshot of this message to %1")
              .arg(QString::fromLatin1(kSupportEmail));
}

void ReportError(MessageBoxes& boxes, const QString& description, const QString& procedurePath, int stepNumber)
{
    // Reporting must never fail in turn: whatever the box does is swallowed.
    try {
        boxes.show(ErrorMessageText(description, procedurePath, stepNumber),
                   QCoreApplication::translate("ErrorTrap", "Application Error"),
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
        description = QCoreApplication::translate("ErrorTrap", "Unexpected failure");
    }
    ReportError(mBoxes, description, mPath, mStep);
}
