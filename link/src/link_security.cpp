#include "link/link_security.h"

namespace stationlink {

std::string_view refusalText(LinkRefusal::Reason reason)
{
    switch (reason) {
    case LinkRefusal::Reason::NoKey:
        return "no key";
    case LinkRefusal::Reason::WrongKey:
        return "wrong key";
    case LinkRefusal::Reason::ConsoleHasNoKey:
        return "the console has no key";
    case LinkRefusal::Reason::UnknownStation:
        return "unknown station";
    }
    return "refused";
}

} // namespace stationlink
