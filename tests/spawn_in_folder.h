// Starts a program of the build as a child of this process, in a folder of
// the caller's, for tests and benchmarks that wait for it or signal it.
#pragma once

#include <spawn.h>
#include <sys/types.h>
#include <unistd.h> // environ

#include <string>
#include <vector>

// Runs `program` with `arguments` (after its own name) in `folder`, with our
// environment; the child's process id, or -1 when it could not start.
inline pid_t SpawnInFolder(const char* program, const std::vector<std::string>& arguments,
                           const std::string& folder) {
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t child = -1;
    const int spawned = posix_spawn(&child, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? child : -1;
}
