// SPDX-License-Identifier: GPL-3.0-or-later
#include "Subprocess.h"

#include "Fatal.h"

#include <cerrno>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vashtem::bench {

namespace {

std::vector<char *> argvOf(const std::vector<std::string> &args)
{
    std::vector<char *> pointers;
    for (const std::string &arg : args)
        pointers.push_back(const_cast<char *>(arg.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

class FileActions
{
public:
    FileActions() { posix_spawn_file_actions_init(&m_actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&m_actions); }
    FileActions(const FileActions &) = delete;
    FileActions &operator=(const FileActions &) = delete;
    posix_spawn_file_actions_t *get() { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int runToEnd(const std::vector<std::string> &argv, const std::string &input, const std::string &output)
{
    FileActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char *> args = argvOf(argv);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], actions.get(), nullptr, args.data(), environ) != 0)
        return -1;
    return waitFor(pid);
}

PipedChild startPiped(const std::vector<std::string> &argv, const std::string &workingFolder)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        fatalErrno("pipe");
    FileActions actions;
    posix_spawn_file_actions_adddup2(actions.get(), ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addchdir_np(actions.get(), workingFolder.c_str());
    std::vector<char *> args = argvOf(argv);
    PipedChild child;
    const int error = posix_spawn(&child.pid, args[0], actions.get(), nullptr, args.data(), environ);
    ::close(ends[1]);
    if (error != 0) {
        errno = error;
        fatalErrno("cannot start " + argv[0]);
    }
    child.out = ends[0];
    return child;
}

std::string readLine(int fd)
{
    std::string line;
    char c;
    for (;;) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || c == '\n')
            return line;
        line.push_back(c);
    }
}

int finish(PipedChild &child)
{
    ::close(child.out);
    child.out = -1;
    return waitFor(child.pid);
}

} // namespace vashtem::bench
