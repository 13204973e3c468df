#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

extern char** environ;

namespace console::test {

ChildProcess::ChildProcess(std::vector<std::string> argv, const std::vector<std::string>& environment,
                           const std::filesystem::path& errorFile)
{
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return;
    }
    // Everything the child needs is prepared before fork().
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        env.emplace_back(*e);
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string error = errorFile.string();

    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        const int err = ::open(error.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (err >= 0)
            ::dup2(err, STDERR_FILENO);
        ::setpgid(0, 0); // its own group: a kill reaches what it starts
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_ = out[0];
    if (pid_ < 0) {
        ::close(input_);
        ::close(output_);
        input_ = output_ = -1;
    }
}

ChildProcess::~ChildProcess()
{
    kill(SIGKILL);
    closeInput();
    if (output_ >= 0)
        ::close(output_);
}

bool ChildProcess::writeLine(const std::string& line)
{
    if (input_ < 0)
        return false;
    const std::string bytes = line + "\n";
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(input_, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void ChildProcess::closeInput()
{
    if (input_ >= 0)
        ::close(input_);
    input_ = -1;
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds limit, const std::function<void()>& idle)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const std::size_t at = pending_.find('\n');
        if (at != std::string::npos) {
            std::string line = pending_.substr(0, at);
            pending_.erase(0, at + 1);
            return line;
        }
        if (outputEnded_ || output_ < 0 || std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        pollfd p{output_, POLLIN, 0};
        if (::poll(&p, 1, 10) > 0) {
            char buffer[4096];
            const ssize_t n = ::read(output_, buffer, sizeof buffer);
            if (n <= 0)
                outputEnded_ = true;
            else
                pending_.append(buffer, static_cast<std::size_t>(n));
        }
        if (idle)
            idle();
    }
}

int ChildProcess::kill(int signal)
{
    if (status_)
        return *status_;
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, signal);
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_)
        return -1;
    status_ = status;
    return status;
}

std::optional<int> ChildProcess::waitExit(std::chrono::milliseconds limit)
{
    if (status_ || pid_ <= 0)
        return status_;
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = status;
            return status_;
        }
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace console::test
