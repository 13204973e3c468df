#include "platform/workstation_server_keys.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

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

    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }

    KeyMap keyMap() const { return KeyMap(XkbGetMap(display, XkbKeySymsMask | XkbKeyActionsMask, XkbUseCoreKbd)); }

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
    KeyMap map = connection_->keyMap();
    if (!map)
        return false;
    // Actions kept by an earlier run that ended without putting them back
    // are the earlier settings; what this map still has is added to them.
    std::vector<SavedAction> saved = connection_->saved();
    auto known = [&](int keycode, int index) {
        for (const auto& s : saved)
            if (s.keycode == keycode && s.index == index)
                return true;
        return false;
    };
    bool changed = false;
    forEachAction(map.get(), [&](int keycode, int index, XkbAction& action) {
        if (!isServerAction(action))
            return;
        if (!known(keycode, index)) {
            SavedAction s{static_cast<unsigned char>(keycode), static_cast<unsigned char>(index), {}};
            std::memcpy(s.action, &action, sizeof(XkbAction));
            saved.push_back(s);
        }
        std::memset(&action, 0, sizeof(XkbAction)); // XkbSA_NoAction
        changed = true;
    });
    if (!saved.empty())
        connection_->keep(saved);
    if (changed)
        connection_->send(map.get());
    else
        XSync(connection_->display, False);
    disabled_ = true;
    return true;
}

bool ServerKeys::restore()
{
    disabled_ = false;
    if (!hasDisplay())
        return false;
    std::vector<SavedAction> saved = connection_->saved();
    if (saved.empty())
        return false;
    KeyMap map = connection_->keyMap();
    if (map) {
        forEachAction(map.get(), [&](int keycode, int index, XkbAction& action) {
            if (action.type != XkbSA_NoAction)
                return; // the map was changed since: leave the new action alone
            for (const auto& s : saved)
                if (s.keycode == keycode && s.index == index)
                    std::memcpy(&action, s.action, sizeof(XkbAction));
        });
        connection_->send(map.get());
    }
    connection_->forget();
    XSync(connection_->display, False);
    return true;
}

int ServerKeys::activeCount()
{
    if (!hasDisplay())
        return 0;
    KeyMap map = connection_->keyMap();
    if (!map)
        return 0;
    int count = 0;
    forEachAction(map.get(), [&](int, int, XkbAction& action) { count += isServerAction(action) ? 1 : 0; });
    return count;
}

} // namespace platform
