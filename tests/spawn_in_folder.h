// Starts a program of the build as a child of this process, in a folder of
// the caller's, for tests and benchmarks that wait for it or signal it.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <unistd.h> // environ

#include <string>
#include <vector>

// Runs `program` with `arguments` (after its own name) in `folder`, with our
// environment; the child's process id, or -1 when it could not start. The
// child starts with every signal at its default action and none blocked,
// whatever this process inherited (a job started in the background by a
// shell ignores SIGINT), so that a signal the caller sends acts as it would
// from a terminal.
inline pid_t SpawnInFolder(const char* program, const std::vector<std::string>& arguments,
                           const std::string& folder) {
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, program, &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? child : -1;
}
