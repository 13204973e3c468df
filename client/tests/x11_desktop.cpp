#include "x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <functional>
#include <thread>

namespace client::test {

using namespace std::chrono_literals;

void xdotool(std::vector<std::string> args, ChildOutput output)
{
    args.insert(args.begin(), "/usr/bin/xdotool");
    runToEnd(std::move(args), output);
}

void typeAndEnter(const std::string& text, std::chrono::milliseconds perKey, ChildOutput output)
{
    xdotool({"type", "--delay", std::to_string(perKey.count()), text}, output);
    xdotool({"key", "Return"}, output);
}

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

void useX11ForChildren() { ::unsetenv("QT_QPA_PLATFORM"); }

namespace {

std::vector<Window> clientList(Display* d)
{
    Atom list = XInternAtom(d, "_NET_CLIENT_LIST", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<Window> windows;
    if (XGetWindowProperty(d, DefaultRootWindow(d), list, 0, 1024, False, XA_WINDOW, &type, &format, &items, &after,
                           &data) == Success &&
        data && format == 32) {
        auto* ids = reinterpret_cast<Window*>(data);
        windows.assign(ids, ids + items);
    }
    if (data)
        XFree(data);
    return windows;
}

bool isMapped(Display* d, Window w)
{
    XWindowAttributes a{};
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

long windowPid(Display* d, Window w)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type, &format, &items,
                           &after, &data) == Success &&
        data && items == 1)
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

int lastXError = 0;
int recordXError(Display*, XErrorEvent* e)
{
    lastXError = e->error_code;
    return 0;
}

} // namespace

bool keyboardGrabbedByOthers(Display* d)
{
    int status = XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (status == GrabSuccess)
        XUngrabKeyboard(d, CurrentTime);
    XSync(d, False);
    return status == AlreadyGrabbed;
}

bool pointerGrabbedByOthers(Display* d)
{
    int status = XGrabPointer(d, DefaultRootWindow(d), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                              CurrentTime);
    if (status == GrabSuccess)
        XUngrabPointer(d, CurrentTime);
    XSync(d, False);
    return status == AlreadyGrabbed;
}

int altTabGrabError(Display* d)
{
    lastXError = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    KeyCode tab = XKeysymToKeycode(d, XK_Tab);
    XGrabKey(d, tab, Mod1Mask, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    int error = lastXError;
    if (error == 0)
        XUngrabKey(d, tab, Mod1Mask, DefaultRootWindow(d));
    XSync(d, False);
    XSetErrorHandler(previous);
    return error;
}

long topWindowPid(Display* d)
{
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    long pid = -1;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) {
        // The topmost mapped child of the root.
        for (unsigned int i = n; i-- > 0 && pid == -1;) {
            if (isMapped(d, children[i]))
                pid = windowPid(d, children[i]);
        }
    }
    if (children)
        XFree(children);
    XSync(d, False);
    XSetErrorHandler(previous);
    return pid;
}

unsigned long windowOfPidAt(Display* d, long pid, int x, int y, int width, int height)
{
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    unsigned long found = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n && found == 0; ++i) {
            XWindowAttributes a{};
            if (isMapped(d, children[i]) && windowPid(d, children[i]) == pid &&
                XGetWindowAttributes(d, children[i], &a) && a.x == x && a.y == y && a.width == width &&
                a.height == height)
                found = children[i];
        }
    }
    if (children)
        XFree(children);
    XSync(d, False);
    XSetErrorHandler(previous);
    return found;
}

namespace {

void describeTree(Display* d, Window w, int depth, long pid, std::string& out)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n))
        return;
    for (unsigned int i = 0; i < n; ++i) {
        if (windowPid(d, children[i]) == pid) {
            XWindowAttributes a{};
            if (!XGetWindowAttributes(d, children[i], &a))
                continue; // gone meanwhile
            out += "window " + std::to_string(children[i]) + " in " + std::to_string(w) + ", " +
                   (a.map_state == IsViewable ? "mapped" : "unmapped") + ", " + std::to_string(a.width) + "x" +
                   std::to_string(a.height) + ", " + std::to_string(i + 1) + " of " + std::to_string(n) + "\n";
        }
        if (depth < 3)
            describeTree(d, children[i], depth + 1, pid, out);
    }
    if (children)
        XFree(children);
}

} // namespace

std::string describeWindows(Display* d, long pid)
{
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    std::string out;
    describeTree(d, DefaultRootWindow(d), 0, pid, out);
    XSync(d, False);
    XSetErrorHandler(previous);
    return out;
}

void paintDesktop(Display* d)
{
    XSetWindowBackground(d, DefaultRootWindow(d), 0x2f8f4f); // green
    XClearWindow(d, DefaultRootWindow(d));
    XSync(d, False);
}

bool plugInKeyboard(Display* d, const char* name)
{
    XIAddMasterInfo add{};
    add.type = XIAddMaster;
    add.name = const_cast<char*>(name);
    add.send_core = True;
    add.enable = True;
    bool sent = XIChangeHierarchy(d, reinterpret_cast<XIAnyHierarchyChangeInfo*>(&add), 1) == Success;
    XSync(d, False);
    return sent;
}

bool keyboardPlugged(Display* d, const char* name)
{
    const std::string wanted = std::string(name) + " keyboard";
    bool found = false;
    int count = 0;
    XIDeviceInfo* info = XIQueryDevice(d, XIAllMasterDevices, &count);
    for (int i = 0; i < count; ++i)
        found = found || (info[i].use == XIMasterKeyboard && wanted == info[i].name);
    if (info)
        XIFreeDeviceInfo(info);
    return found;
}

bool unplugKeyboard(Display* d, const char* name)
{
    std::string wanted = std::string(name) + " keyboard";
    bool removed = false;
    int count = 0;
    XIDeviceInfo* info = XIQueryDevice(d, XIAllMasterDevices, &count);
    for (int i = 0; i < count; ++i) {
        if (info[i].use != XIMasterKeyboard || wanted != info[i].name)
            continue;
        XIRemoveMasterInfo remove{};
        remove.type = XIRemoveMaster;
        remove.deviceid = info[i].deviceid;
        remove.return_mode = XIAttachToMaster;
        remove.return_pointer = 2; // the first master pointer and keyboard
        remove.return_keyboard = 3;
        removed = XIChangeHierarchy(d, reinterpret_cast<XIAnyHierarchyChangeInfo*>(&remove), 1) == Success || removed;
    }
    if (info)
        XIFreeDeviceInfo(info);
    XSync(d, False);
    return removed;
}

bool windowOfClassMapped(Display* d, const std::string& windowClass)
{
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    bool found = false;
    for (Window w : clientList(d)) {
        XClassHint hint{};
        if (XGetClassHint(d, w, &hint)) {
            found = found || (hint.res_class && windowClass == hint.res_class && isMapped(d, w));
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    XSync(d, False);
    XSetErrorHandler(previous);
    return found;
}

} // namespace client::test
