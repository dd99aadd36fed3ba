// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The one way this program starts another: in a session of its own, with an
// empty signal mask and every signal at its default. The program blocks its
// end signals for the thread that waits for them, and its office libraries
// ignore some; nothing it starts may inherit that, or it could not be ended
// by kill, a hang-up or the session's end.

#include <QByteArray>
#include <spawn.h>
#include <sys/types.h>
#include <vector>

// Starts `arguments[0]` (a path) with `arguments`, the environment
// `environment` (this process's when empty) and the descriptors arranged by
// `actions` (all but 0, 1 and 2 are closed in any case). Returns the
// process id, or 0 with errno set when it could not be started.
pid_t SpawnInOwnSession(std::vector<QByteArray> arguments, std::vector<QByteArray> environment = {},
                        posix_spawn_file_actions_t* actions = nullptr);
