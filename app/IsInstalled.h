// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The start-up check that the word-processing engine can be started at all.

#include <QString>

struct Platform;

// The message shown when no instance can be created.
QString WordMissingMessage();

// Starts an instance and quits it again; when none can be created, tells the
// user how to repair the installation and ends the program.
void CheckWordInstalled(Platform& platform);
