#pragma once
// A manual-reset event: stays set until reset, wakes every waiter. It can be
// waited on together with sockets (waitAny), so threads sleep instead of polling.

#include <chrono>
#include <span>

namespace platform {

class TcpSocket;

class ManualResetEvent {
public:
    ManualResetEvent();
    ~ManualResetEvent();
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void set();
    void reset();
    bool isSet() const;
    // Waits until set or timeout; true when set.
    bool wait(std::chrono::milliseconds timeout) const;

    // False when the system gave no descriptor (logged on standard error): such
    // an event is never set, and its waits run to their time-outs.
    bool isValid() const { return fd_ >= 0; }
    int nativeHandle() const { return fd_; }

private:
    int fd_ = -1;
};

// Sleeps until one of the events is set, one of the sockets is readable, or the
// timeout passes (a negative timeout waits without limit). Returns true when
// something is ready.
bool waitAny(std::span<const ManualResetEvent* const> events, std::span<const TcpSocket* const> sockets,
             std::chrono::milliseconds timeout);

} // namespace platform
