#pragma once
// What the Clients page shows and changes of the cafe's key: what each
// station's last handshake spoke, and which stations the owner lets connect
// without the key (older installs that hold none). The console implements it
// over its link and "BriskoKeyless".
//
// Window thread only.

#include "platform/ipv4.h"

namespace console::configuration {

class StationKeyRegister {
public:
    enum class Keying { Unknown, Keyed, Keyless };

    virtual ~StationKeyRegister() = default;
    // Whether the cafe has a key at all; without one every station connects.
    virtual bool hasKey() const = 0;
    virtual Keying keying(int index) const = 0;
    virtual bool keylessAllowed(platform::Ipv4Address address) const = 0;
    // False when the choice could not be kept.
    [[nodiscard]] virtual bool allowKeyless(platform::Ipv4Address address, bool allowed) = 0;
};

} // namespace console::configuration
