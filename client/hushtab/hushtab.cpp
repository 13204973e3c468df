// Hushtab: blocks and releases the keys that switch tasks, for the whole desktop.
//
//   extern "C" bool DisableTaskKeys(bool disable);
//
// On X11 the library keeps a display connection of its own and, while keys are
// disabled, holds grabs on the root window for every key combination that a
// desktop uses to switch tasks or reach its shell (Alt+Tab, Alt+Esc, Ctrl+Esc,
// Alt+F4, Ctrl+Alt+Del, Ctrl+Alt+Fn, the Super and Menu keys and everything
// pressed with Super). Those keys then reach neither the window manager nor any
// other window. The library cannot take the whole keyboard itself: the keys
// would then go to its own connection and never to the locked station's window,
// which must still see the setup code; that window holds the active keyboard
// grab while it is locked.
//
// Returns true when the request reached the display; false when there is no
// display (the call is then harmless).

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <iterator>

namespace {

struct TaskKey {
    KeySym key;
    unsigned int modifiers;
};

constexpr TaskKey kTaskKeys[] = {
    {XK_Tab, Mod1Mask},
    {XK_Tab, Mod1Mask | ShiftMask},
    {XK_Tab, ControlMask | Mod1Mask},
    {XK_ISO_Left_Tab, Mod1Mask | ShiftMask},
    {XK_Escape, Mod1Mask},
    {XK_Escape, ControlMask},
    {XK_Escape, ControlMask | ShiftMask},
    {XK_F4, Mod1Mask},
    {XK_F1, Mod1Mask},
    {XK_F2, Mod1Mask},
    {XK_Delete, ControlMask | Mod1Mask},
    {XK_BackSpace, ControlMask | Mod1Mask},
    {XK_Super_L, AnyModifier},
    {XK_Super_R, AnyModifier},
    {XK_Menu, AnyModifier},
};

// Caps Lock and Num Lock must not let a combination slip through.
constexpr unsigned int kLockVariants[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The library's one display connection and whether its grabs are held; a
// process-wide object because the library's interface is a single function.
class ProcessTaskKeyGrab {
public:
    ~ProcessTaskKeyGrab()
    {
        if (display_)
            XCloseDisplay(display_);
    }

    bool set(bool disable)
    {
        if (!connect())
            return false;
        if (disable != grabbed_)
            apply(disable);
        grabbed_ = disable;
        return true;
    }

private:
    bool connect()
    {
        if (!display_)
            display_ = XOpenDisplay(nullptr);
        return display_ != nullptr;
    }

    void apply(bool grab)
    {
        // A combination another client already grabbed (a window manager's
        // Alt+Tab, say) cannot be grabbed here; the lock window's keyboard
        // grab covers it, so the error is ignored.
        XErrorHandler previous = XSetErrorHandler(ignoreXError);
        Window root = DefaultRootWindow(display_);
        for (const auto& taskKey : kTaskKeys) {
            KeyCode code = XKeysymToKeycode(display_, taskKey.key);
            if (code == 0)
                continue;
            for (unsigned int lock : kLockVariants) {
                unsigned int modifiers = taskKey.modifiers == AnyModifier ? AnyModifier : taskKey.modifiers | lock;
                if (grab)
                    XGrabKey(display_, code, modifiers, root, False, GrabModeAsync, GrabModeAsync);
                else
                    XUngrabKey(display_, code, modifiers, root);
                if (taskKey.modifiers == AnyModifier)
                    break;
            }
        }
        for (unsigned int lock : kLockVariants) {
            if (grab)
                XGrabKey(display_, AnyKey, Mod4Mask | lock, root, False, GrabModeAsync, GrabModeAsync);
            else
                XUngrabKey(display_, AnyKey, Mod4Mask | lock, root);
        }
        XSync(display_, False);
        XSetErrorHandler(previous);
    }

    Display* display_ = nullptr;
    bool grabbed_ = false;
};

ProcessTaskKeyGrab& processTaskKeyGrab()
{
    static ProcessTaskKeyGrab grab;
    return grab;
}

} // namespace

extern "C" __attribute__((visibility("default"))) bool DisableTaskKeys(bool disable)
{
    return processTaskKeyGrab().set(disable);
}
