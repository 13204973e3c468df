#pragma once
// What the window thread is in the middle of, so that calls that reach the
// engine again keep their hands off.
//
// - Dialogs: while a modal dialog the engine opened is up (a prompt, the print
//   dialog, a question or message, the configuration dialog), the window's
//   timers keep calling eventPoll() and moneyTick(). They keep the station table
//   current, but work that changes bills waits in order, carrying the figures
//   of its moment, until settle() runs it once no dialog is open, so the bill a
//   dialog is about never changes under it.
// - Mailbox locks: no dialog opens while the window thread holds a station's
//   mailbox lock (the listener would stall on it). Messages raised meanwhile
//   are shown once the last lock is released.
//
// Window thread only.

#include <deque>
#include <functional>
#include <string>

namespace console {

class ModalGuard {
public:
    // A modal dialog is up for the scope's life.
    class Dialog {
    public:
        explicit Dialog(ModalGuard& guard) : guard_(guard) { ++guard_.dialogs_; }
        ~Dialog() { --guard_.dialogs_; }
        Dialog(const Dialog&) = delete;
        Dialog& operator=(const Dialog&) = delete;

    private:
        ModalGuard& guard_;
    };

    // A mailbox lock is held for the scope's life; when the last one ends, the
    // messages held back meanwhile are shown.
    class MailboxLock {
    public:
        explicit MailboxLock(ModalGuard& guard) : guard_(guard) { ++guard_.locks_; }
        ~MailboxLock();
        MailboxLock(const MailboxLock&) = delete;
        MailboxLock& operator=(const MailboxLock&) = delete;

    private:
        ModalGuard& guard_;
    };

    bool dialogOpen() const { return dialogs_ > 0; }
    bool mailboxLocked() const { return locks_ > 0; }

    // Work that changes bills: runs now, or waits behind the work already
    // waiting while a dialog is open (or until that work has run).
    void billWork(std::function<void()> work);
    // Runs the waiting work, oldest first, unless a dialog is still open.
    void settle();
    std::size_t waitingWork() const { return work_.size(); }
    // Called after settle() ran held work (the money it changed is then kept).
    void setAfterWork(std::function<void()> after) { afterWork_ = std::move(after); }

    // Where messages go once no mailbox lock is held (the engine's prompts).
    void setMessageSink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }
    // A message raised under a mailbox lock, shown when the last lock is released.
    void holdMessage(std::string text) { messages_.push_back(std::move(text)); }

private:
    void showHeldMessages();

    int dialogs_ = 0;
    int locks_ = 0;
    bool settling_ = false;
    bool showing_ = false;
    std::deque<std::function<void()>> work_;
    std::deque<std::string> messages_;
    std::function<void(const std::string&)> sink_;
    std::function<void()> afterWork_;
};

} // namespace console
