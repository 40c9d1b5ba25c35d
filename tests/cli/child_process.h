#pragma once
// Starts a program with posix_spawn and collects what it writes, for tests
// of torvane-cli and of the demonstration script. Standard output (and, on
// request, standard error) can be a pseudo-terminal instead of a pipe.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace torvane::cli::testing {

struct ChildResult {
    bool exited = false;
    int exitCode = -1;
    int signal = 0;
    bool timedOut = false;
    std::string out;
    std::string err;
};

struct ChildOptions {
    // Entries "NAME=value" added to (or replacing) the environment.
    std::vector<std::string> environment;
    // Standard output and standard error go to one pseudo-terminal; what it
    // shows arrives in `out`.
    bool terminal = false;
    std::chrono::milliseconds limit{30000};
};

class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options)
        : limit_(options.limit) {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('='));
            bool replaced = false;
            for (const std::string& add : options.environment)
                if (add.substr(0, add.find('=')) == name) replaced = true;
            if (!replaced) env.push_back(entry);
        }
        env.insert(env.end(), options.environment.begin(), options.environment.end());

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int outPipe[2] = {-1, -1};
        int errPipe[2] = {-1, -1};
        int slave = -1;
        if (options.terminal) {
            if (openpty(&outFd_, &slave, nullptr, nullptr, nullptr) != 0)
                throw std::runtime_error("openpty failed");
            posix_spawn_file_actions_adddup2(&actions, slave, 1);
            posix_spawn_file_actions_adddup2(&actions, slave, 2);
        } else {
            if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
                throw std::runtime_error("pipe failed");
            posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
            posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
            outFd_ = outPipe[0];
            errFd_ = errPipe[0];
        }
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        const int failed =
            posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (slave >= 0) close(slave);
        if (outPipe[1] >= 0) close(outPipe[1]);
        if (errPipe[1] >= 0) close(errPipe[1]);
        if (failed != 0) throw std::runtime_error("cannot start " + argv[0]);
        start_ = std::chrono::steady_clock::now();
    }
    ~ChildProcess() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (outFd_ >= 0) close(outFd_);
        if (errFd_ >= 0) close(errFd_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    void Signal(int number) { kill(pid_, number); }

    // Reads until the standard error seen so far holds `part`; false when
    // the streams end or the limit passes first.
    bool WaitForError(const std::string& part) {
        while (err_.find(part) == std::string::npos) {
            if (!ReadSome()) return false;
        }
        return true;
    }
    const std::string& ErrorSoFar() const { return err_; }

    // Reads until both streams end and the child has exited, or the limit.
    ChildResult Wait() {
        ChildResult result;
        while (outFd_ >= 0 || errFd_ >= 0) {
            if (!ReadSome() && (outFd_ >= 0 || errFd_ >= 0)) {
                result.timedOut = true;
                kill(pid_, SIGKILL);
                break;
            }
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        reaped_ = true;
        result.exited = WIFEXITED(status);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        result.out = out_;
        result.err = err_;
        return result;
    }

  private:
    // One poll and read; false when the limit has passed or nothing is open.
    bool ReadSome() {
        if (outFd_ < 0 && errFd_ < 0) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            start_ + limit_ - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fds[2];
        int count = 0;
        if (outFd_ >= 0) fds[count++] = {outFd_, POLLIN, 0};
        if (errFd_ >= 0) fds[count++] = {errFd_, POLLIN, 0};
        if (poll(fds, count, static_cast<int>(left.count())) <= 0) return true;
        for (int i = 0; i < count; ++i) {
            if (fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            const bool isOut = fds[i].fd == outFd_;
            if (n > 0) {
                (isOut ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
            } else {  // end of a pipe, or EIO once the terminal's last user is gone
                int& fd = isOut ? outFd_ : errFd_;
                close(fd);
                fd = -1;
            }
        }
        return true;
    }

    std::string out_;
    std::string err_;
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    bool reaped_ = false;
    std::chrono::milliseconds limit_;
    std::chrono::steady_clock::time_point start_;
};

inline ChildResult RunChild(const std::vector<std::string>& argv,
                            const ChildOptions& options = {}) {
    ChildProcess child(argv, options);
    return child.Wait();
}

}  // namespace torvane::cli::testing
