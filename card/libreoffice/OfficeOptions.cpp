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
    // An office's time goes largely to the kernel faulting in its heap page
    // by page. Huge pages for malloc's heap cut that, but only in the main
    // arena: a document loaded over the connection is read on one of the
    // office's own threads, whose arena grows a page at a time, and one arena
    // for the whole office halves that first load. The office's threads take
    // turns on its one big lock anyway. A choice the user made for either
    // stands.
    QByteArray tunables = user;
    for (const QByteArray setting : {QByteArray("glibc.malloc.hugetlb=1"), QByteArray("glibc.malloc.arena_max=1")}) {
        if (!tunables.contains(setting.left(setting.indexOf('=') + 1)))
            tunables += (tunables.isEmpty() ? QByteArray() : QByteArray(":")) + setting;
    }
    return tunables;
}
