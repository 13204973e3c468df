#include "modal_guard.h"

namespace console {

ModalGuard::MailboxLock::~MailboxLock()
{
    if (--guard_.locks_ == 0)
        guard_.showHeldMessages();
}

void ModalGuard::billWork(std::function<void()> work)
{
    // Work already waiting goes first, so bills change in the order their events came.
    if (dialogOpen() || !work_.empty() || settling_) {
        work_.push_back(std::move(work));
        settle();
        return;
    }
    work();
}

void ModalGuard::settle()
{
    if (settling_)
        return; // the loop below is running: it takes the new work too
    settling_ = true;
    bool ran = false;
    while (!dialogOpen() && !work_.empty()) {
        std::function<void()> next = std::move(work_.front());
        work_.pop_front();
        next();
        ran = true;
    }
    settling_ = false;
    if (ran && afterWork_)
        afterWork_();
}

void ModalGuard::showHeldMessages()
{
    // A message box shown from here lets the timers run; a message they raise
    // joins the queue rather than opening a second box on top of this one.
    if (showing_ || !sink_)
        return;
    showing_ = true;
    while (locks_ == 0 && !messages_.empty()) {
        std::string text = std::move(messages_.front());
        messages_.pop_front();
        sink_(text);
    }
    showing_ = false;
}

} // namespace console
