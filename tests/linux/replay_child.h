// Runs gimbalo-replay as a child process with its own settings and runtime
// folders, and reads what it prints while it runs.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace gimbalo::testing {

// Generous: a run that works takes a second or two.
constexpr std::chrono::seconds kChildDeadline{30};

class ReplayChild {
public:
    // Starts `executable` with `arguments`; the environment is this
    // process's, with XDG_CONFIG_HOME and XDG_RUNTIME_DIR replaced, the
    // NAME=VALUE entries of `moreEnv` put in place of their namesakes, and
    // the variables it names without a value left out.
    ReplayChild(const std::string& executable, const std::vector<std::string>& arguments,
                const std::string& configHome, const std::string& runtimeDir,
                const std::vector<std::string>& moreEnv = {}) {
        std::vector<std::string> replaced = moreEnv;
        replaced.push_back("XDG_CONFIG_HOME=" + configHome);
        replaced.push_back("XDG_RUNTIME_DIR=" + runtimeDir);
        std::vector<std::string> env;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string variable = *entry;
            bool keep = true;
            for (const std::string& replacement : replaced) {
                const std::string name = replacement.substr(0, replacement.find('=')) + "=";
                if (variable.rfind(name, 0) == 0) keep = false;
            }
            if (keep) env.push_back(variable);
        }
        for (const std::string& variable : replaced)
            if (variable.find('=') != std::string::npos) env.push_back(variable);
        std::vector<std::string> args{executable};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv, envp;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        for (std::string& variable : env) envp.push_back(variable.data());
        envp.push_back(nullptr);

        int out[2], err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~ReplayChild() {
        if (pid_ > 0 && !reaped_) Stop();
        if (out_ >= 0) close(out_);
        if (err_ >= 0) close(err_);
    }
    ReplayChild(const ReplayChild&) = delete;
    ReplayChild& operator=(const ReplayChild&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // Reads until `done` holds for the standard output, the output ends, or
    // the deadline passes. Whether `done` came true.
    bool WaitForOutput(const std::function<bool(const std::string&)>& done) {
        return WaitFor(out, done);
    }
    // The same for the standard error.
    bool WaitForError(const std::function<bool(const std::string&)>& done) {
        return WaitFor(err, done);
    }

    void Signal(int signalNumber) { kill(pid_, signalNumber); }

    // Stops reading the standard output, as `head` does once it has its
    // lines: the child's next write to it fails.
    void CloseOutput() {
        if (out_ >= 0) close(out_);
        out_ = -1;
    }

    // Reads everything to the end and waits for the exit. The exit status,
    // or -1 when the child did not exit normally by the deadline.
    int Wait() {
        const int status = WaitStatus();
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Like Wait, but the raw wait status, -1 when the child was still
    // running at the deadline.
    int WaitStatus() {
        const auto deadline = std::chrono::steady_clock::now() + kChildDeadline;
        while (ReadSome(deadline)) {
        }
        if (out_ >= 0 || err_ >= 0) {
            Stop();  // past the deadline
            return -1;
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        reaped_ = true;
        return status;
    }

    std::string out;
    std::string err;

private:
    bool WaitFor(const std::string& stream, const std::function<bool(const std::string&)>& done) {
        const auto deadline = std::chrono::steady_clock::now() + kChildDeadline;
        while (!done(stream)) {
            if (!ReadSome(deadline)) return done(stream);
        }
        return true;
    }

    // Asks the child to close, which lets go of its held buttons, and kills
    // it only when it has not gone after a while.
    void Stop() {
        kill(pid_, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (waitpid(pid_, nullptr, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
                break;
            }
            // Keeps reading, so a child writing its trace does not block.
            if (!ReadSome(std::chrono::steady_clock::now() + std::chrono::milliseconds(10)))
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        reaped_ = true;
    }

    // Reads what is there from either pipe; false once both ended or the
    // deadline passed.
    bool ReadSome(std::chrono::steady_clock::time_point deadline) {
        if (out_ < 0 && err_ < 0) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left.count())) <= 0) return true;
        Drain(fds[0], out_, out);
        Drain(fds[1], err_, err);
        return true;
    }
    static void Drain(const pollfd& fd, int& handle, std::string& into) {
        if (handle < 0 || fd.revents == 0) return;
        char buffer[4096];
        const ssize_t got = read(handle, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
        } else {
            close(handle);
            handle = -1;
        }
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    bool reaped_ = false;
};

}  // namespace gimbalo::testing
