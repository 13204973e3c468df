#pragma once
// One-way notices from a supervised program to its supervisor, one line
// each, through a pipe whose writing end the program is given at its start
// (see ChildStart::passedFd). The supervisor holds both ends for its whole
// life, so the pipe never reads as closed between two runs of the program.
// Single-threaded use on each side.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class NoticePipe {
public:
    static std::optional<NoticePipe> open();
    ~NoticePipe();
    NoticePipe(NoticePipe&& other) noexcept;
    NoticePipe& operator=(NoticePipe&&) = delete;
    NoticePipe(const NoticePipe&) = delete;
    NoticePipe& operator=(const NoticePipe&) = delete;

    int readEnd() const { return read_; }
    int writeEnd() const { return write_; }
    // The whole lines written so far, without their line breaks; never waits.
    // A line longer than 256 bytes is dropped.
    std::vector<std::string> takeLines();

private:
    NoticePipe(int read, int write) : read_(read), write_(write) {}
    int read_ = -1;
    int write_ = -1;
    std::string partial_;
};

// The program's side: writes `line` and a line break to the descriptor whose
// number the environment variable `variable` holds. False when there is no
// such descriptor or the write fails.
bool sendNotice(const char* variable, std::string_view line);

} // namespace platform
