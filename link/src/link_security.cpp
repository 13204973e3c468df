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
    case LinkRefusal::Reason::ClaimedOtherAddress:
        return "claimed";
    }
    return "refused";
}

std::string describeRefusal(const LinkRefusal& refusal)
{
    std::string text(refusalText(refusal.reason));
    if (refusal.reason == LinkRefusal::Reason::ClaimedOtherAddress)
        text.append(" ").append(refusal.claimed.toString());
    return text;
}

} // namespace stationlink
