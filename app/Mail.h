// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The user's mail program, as the desktop starts it: through the desktop's
// e-mail portal where one answers on the session bus (the attachment goes
// as an open file, so a sandboxed mail program can read it too), else
// through xdg-email and the desktop's mailto handler.

#include "Platform.h"

class DesktopMail : public MailComposer {
public:
    // Asks from a thread of its own with a bound, while the window paints.
    void compose(const QString& subject, const QString& attachment) override;
};
