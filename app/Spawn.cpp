// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Spawn.h"

#include <cerrno>
#include <csignal>

extern char** environ;

pid_t SpawnInOwnSession(std::vector<QByteArray> arguments, std::vector<QByteArray> environment,
                        posix_spawn_file_actions_t* actions)
{
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (QByteArray& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t closing;
    if (!actions) {
        posix_spawn_file_actions_init(&closing);
        actions = &closing;
    }
    // Our own descriptors (sockets, pipes) are none of its business.
    posix_spawn_file_actions_addclosefrom_np(actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, argv[0], actions, &attributes, argv.data(),
                                    environment.empty() ? environ : envp.data());
    posix_spawnattr_destroy(&attributes);
    if (actions == &closing)
        posix_spawn_file_actions_destroy(&closing);
    if (error != 0) {
        errno = error;
        return 0;
    }
    return pid;
}
