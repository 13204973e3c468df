#pragma once
// The X server's own keys: the console switch (Ctrl+Alt+Fn), the server's
// kill key (Ctrl+Alt+Backspace) and the keys that break every grab. They act
// inside the server, before any client sees them, so no grab stops them; the
// locked station turns them off in the server's keyboard map (the effect of
// the XKB option srvrkeys:none) and puts them back when it unlocks or ends.
//
// Every keyboard has a map of its own, and the server acts on the map of the
// keyboard that was pressed: the keys are turned off on every keyboard, and
// again on one plugged in later (the connection watches for new keyboards
// and maps; the owner calls disable() again when notices arrive).
//
// The actions turned off are also kept in a property of the root window, so
// that a program restarted after a crash finds the earlier ones and not the
// keys it had turned off itself.
//
// Thread contract: one thread; the object owns its own display connection.

#include <memory>

namespace platform {

class ServerKeys {
public:
    // Connects to the display (nullptr: $DISPLAY); without one every call does nothing.
    explicit ServerKeys(const char* displayName = nullptr);
    // Puts the keys back.
    ~ServerKeys();
    ServerKeys(const ServerKeys&) = delete;
    ServerKeys& operator=(const ServerKeys&) = delete;

    bool hasDisplay() const;
    // Turns the server's keys off; false when there is no display or no XKB.
    bool disable();
    // Puts back what disable() turned off; false when nothing was off.
    bool restore();
    bool disabled() const { return disabled_; }
    // Server actions that switch consoles, end the server or break grabs, in
    // the maps of all keyboards.
    int activeCount();

    // Removes every master keyboard and pointer beyond the server's first
    // pair, their devices going back to that pair. A second master keyboard
    // (xinput create-master) would type past the lock's grab, which holds
    // only the first. How many were removed.
    int removeExtraMasters();

    // Readable when notices of keyboards or maps wait; -1 without a display.
    int fd() const;
    // Takes the waiting notices; true when a keyboard or a map changed.
    bool takeNotices();

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
    bool disabled_ = false;
};

} // namespace platform
