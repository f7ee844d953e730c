#pragma once

#include "support/counting_progress.h"
#include "support/watched_file_operations.h"

#include <sys/wait.h>
#include <unistd.h>

// Runs `sync(files, progress)` in a child process that kills itself before its file operation
// `point`, or, past the first `fileOperations` points, at progress call `point - fileOperations`.
// True when the child died of that kill, as a crash or a pulled cable would end the run.
template <typename Sync> bool killedAt(int point, int fileOperations, Sync sync)
{
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        WatchedFileOperations files;
        files.before = [point](int index, const QString &) {
            if (index == point)
                CountingProgress::killThisProcess();
            return true;
        };
        CountingProgress progress;
        progress.killAt = point - fileOperations;
        sync(files, progress);
        ::_exit(0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}
