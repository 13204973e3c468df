#include "platform/workstation_server_keys.h"

#include "x11_error_trap.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cstring>
#include <vector>

namespace platform {

namespace {

// One action turned off: where it was in the map and what it did.
struct SavedAction {
    unsigned char keycode;
    unsigned char index;
    unsigned char action[sizeof(XkbAction)];
};
static_assert(sizeof(SavedAction) == 2 + sizeof(XkbAction));

bool isServerAction(const XkbAction& action)
{
    return action.type == XkbSA_Terminate || action.type == XkbSA_SwitchScreen ||
           action.type == XkbSA_XFree86Private; // XF86_Ungrab, XF86_ClearGrab and the server's debugging keys
}

struct KeyMapDeleter {
    void operator()(XkbDescPtr map) const { XkbFreeKeyboard(map, XkbAllComponentsMask, True); }
};
using KeyMap = std::unique_ptr<XkbDescRec, KeyMapDeleter>;

// Calls `visit(keycode, index, action)` for every action of the map.
template <typename Visit>
void forEachAction(XkbDescPtr map, Visit visit)
{
    for (int keycode = map->min_key_code; keycode <= map->max_key_code; ++keycode) {
        if (!XkbKeyHasActions(map, keycode))
            continue;
        XkbAction* actions = XkbKeyActionsPtr(map, keycode);
        int count = XkbKeyNumActions(map, keycode);
        for (int i = 0; i < count && i < 256; ++i)
            visit(keycode, i, actions[i]);
    }
}

} // namespace

struct ServerKeys::Connection {
    Display* display = nullptr;
    Atom property = None;
    int inputOpcode = -1; // XInput 2, to know every keyboard

    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }

    KeyMap keyMap(int device) const { return KeyMap(XkbGetMap(display, XkbKeySymsMask | XkbKeyActionsMask, device)); }

    // The core keyboard and every keyboard device.
    std::vector<int> keyboards() const
    {
        std::vector<int> devices{XkbUseCoreKbd};
        if (inputOpcode < 0)
            return devices;
        int count = 0;
        XIDeviceInfo* info = XIQueryDevice(display, XIAllDevices, &count);
        for (int i = 0; i < count; ++i)
            if (info[i].use == XISlaveKeyboard || info[i].use == XIMasterKeyboard)
                devices.push_back(info[i].deviceid);
        if (info)
            XIFreeDeviceInfo(info);
        return devices;
    }

    void watch() const
    {
        XkbSelectEvents(display, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                        XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
        if (inputOpcode >= 0) {
            unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
            XISetMask(bits, XI_HierarchyChanged);
            XIEventMask mask{XIAllDevices, static_cast<int>(sizeof bits), bits};
            XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
        }
        XFlush(display);
    }

    // Sends the actions of every key; the rest of the map stays as it is.
    void send(XkbDescPtr map) const
    {
        XkbMapChangesRec changes{};
        changes.changed = XkbKeyActionsMask;
        changes.first_key_act = map->min_key_code;
        changes.num_key_acts = static_cast<unsigned char>(map->max_key_code - map->min_key_code + 1);
        XkbChangeMap(display, map, &changes);
        XSync(display, False);
    }

    std::vector<SavedAction> saved() const
    {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<SavedAction> result;
        if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1 << 16, False, property, &type,
                               &format, &items, &after, &data) == Success &&
            data && type == property && format == 8) {
            result.resize(items / sizeof(SavedAction));
            std::memcpy(result.data(), data, result.size() * sizeof(SavedAction));
        }
        if (data)
            XFree(data);
        return result;
    }

    void keep(const std::vector<SavedAction>& actions) const
    {
        XChangeProperty(display, DefaultRootWindow(display), property, property, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(actions.data()),
                        static_cast<int>(actions.size() * sizeof(SavedAction)));
    }

    void forget() const { XDeleteProperty(display, DefaultRootWindow(display), property); }
};

ServerKeys::ServerKeys(const char* displayName) : connection_(std::make_unique<Connection>())
{
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    Display* display = XOpenDisplay(displayName);
    if (!display)
        return;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return;
    }
    connection_->display = display;
    connection_->property = XInternAtom(display, "_TAMBLO_SERVER_KEYS", False);
    int inputEvent = 0, inputError = 0, inputMajor = 2, inputMinor = 0;
    if (XQueryExtension(display, "XInputExtension", &opcode, &inputEvent, &inputError) &&
        XIQueryVersion(display, &inputMajor, &inputMinor) == Success)
        connection_->inputOpcode = opcode;
    connection_->watch();
}

ServerKeys::~ServerKeys()
{
    if (disabled_)
        restore();
}

bool ServerKeys::hasDisplay() const { return connection_->display != nullptr; }

bool ServerKeys::disable()
{
    if (!hasDisplay())
        return false;
    X11ErrorTrap trap(connection_->display);
    // Actions kept by an earlier run that ended without putting them back
    // are the earlier settings; what the maps still have is added to them.
    std::vector<SavedAction> saved = connection_->saved();
    std::size_t known = saved.size();
    auto isKnown = [&](int keycode, int index) {
        for (const auto& s : saved)
            if (s.keycode == keycode && s.index == index)
                return true;
        return false;
    };
    bool any = false;
    for (int device : connection_->keyboards()) {
        KeyMap map = connection_->keyMap(device);
        if (!map)
            continue;
        any = true;
        bool changed = false;
        forEachAction(map.get(), [&](int keycode, int index, XkbAction& action) {
            if (!isServerAction(action))
                return;
            if (!isKnown(keycode, index)) {
                SavedAction s{static_cast<unsigned char>(keycode), static_cast<unsigned char>(index), {}};
                std::memcpy(s.action, &action, sizeof(XkbAction));
                saved.push_back(s);
            }
            std::memset(&action, 0, sizeof(XkbAction)); // XkbSA_NoAction
            changed = true;
        });
        if (changed)
            connection_->send(map.get());
    }
    if (saved.size() != known)
        connection_->keep(saved);
    disabled_ = any;
    return any;
}

bool ServerKeys::restore()
{
    disabled_ = false;
    if (!hasDisplay())
        return false;
    X11ErrorTrap trap(connection_->display);
    std::vector<SavedAction> saved = connection_->saved();
    if (saved.empty())
        return false;
    for (int device : connection_->keyboards()) {
        KeyMap map = connection_->keyMap(device);
        if (!map)
            continue;
        bool changed = false;
        forEachAction(map.get(), [&](int keycode, int index, XkbAction& action) {
            if (action.type != XkbSA_NoAction)
                return; // the map was changed since: leave the new action alone
            for (const auto& s : saved) {
                if (s.keycode == keycode && s.index == index) {
                    std::memcpy(&action, s.action, sizeof(XkbAction));
                    changed = true;
                }
            }
        });
        if (changed)
            connection_->send(map.get());
    }
    connection_->forget();
    return true;
}

int ServerKeys::activeCount()
{
    if (!hasDisplay())
        return 0;
    X11ErrorTrap trap(connection_->display);
    int count = 0;
    for (int device : connection_->keyboards()) {
        KeyMap map = connection_->keyMap(device);
        if (map)
            forEachAction(map.get(), [&](int, int, XkbAction& action) { count += isServerAction(action) ? 1 : 0; });
    }
    return count;
}

int ServerKeys::fd() const { return hasDisplay() ? ConnectionNumber(connection_->display) : -1; }

int ServerKeys::removeExtraMasters()
{
    if (!connection_ || connection_->inputOpcode < 0)
        return 0;
    Display* display = connection_->display;
    int count = 0;
    XIDeviceInfo* info = XIQueryDevice(display, XIAllMasterDevices, &count);
    // The first master pair is the one the lock's grabs hold.
    int firstPointer = -1, firstKeyboard = -1;
    for (int i = 0; i < count; ++i) {
        if (info[i].use == XIMasterPointer && (firstPointer < 0 || info[i].deviceid < firstPointer))
            firstPointer = info[i].deviceid;
        if (info[i].use == XIMasterKeyboard && (firstKeyboard < 0 || info[i].deviceid < firstKeyboard))
            firstKeyboard = info[i].deviceid;
    }
    int removed = 0;
    for (int i = 0; i < count; ++i) {
        // Removing a master pointer takes its paired keyboard along.
        if (info[i].use != XIMasterPointer || info[i].deviceid == firstPointer)
            continue;
        XIRemoveMasterInfo remove{};
        remove.type = XIRemoveMaster;
        remove.deviceid = info[i].deviceid;
        remove.return_mode = XIAttachToMaster;
        remove.return_pointer = firstPointer;
        remove.return_keyboard = firstKeyboard;
        if (XIChangeHierarchy(display, reinterpret_cast<XIAnyHierarchyChangeInfo*>(&remove), 1) == Success)
            ++removed;
    }
    if (info)
        XIFreeDeviceInfo(info);
    XSync(display, False);
    return removed;
}

bool ServerKeys::takeNotices()
{
    if (!hasDisplay())
        return false;
    bool any = false;
    while (XPending(connection_->display) > 0) {
        XEvent event;
        XNextEvent(connection_->display, &event);
        any = true;
    }
    return any;
}

} // namespace platform
