#pragma once
// The bytes of "BriskoOpen". The file opens with the 8 bytes "BRISKOPN" and a
// 32-bit version, then holds one record per bill, station, held session close,
// held print charge, taken print job and station's last session end, each as type (1 byte), length (32 bits), payload
// and a CRC-32 of type, length and payload, and ends with an end record that counts the records before it. Integers are
// little-endian; texts are a 32-bit length and their bytes.
//
// A record that fails its checksum, a missing end record or a count that does
// not match makes the file damaged; what came before the fault is still given
// back, so that the console starts with what it can read.

#include "store/byte_layout.h"
#include "store/open_state.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace store {

inline constexpr char kOpenStateMagic[8] = {'B', 'R', 'I', 'S', 'K', 'O', 'P', 'N'};
inline constexpr std::uint32_t kOpenStateVersion = 1;

std::vector<std::byte> encodeOpenState(const OpenState& state);

struct DecodedOpenState {
    enum class Outcome { Whole, Damaged, UnknownVersion };
    Outcome outcome = Outcome::Whole;
    OpenState state;   // all of it when Whole; what was read before the fault when Damaged
    std::string fault; // why the file is not whole, for the operator
};

// An empty input is a whole, empty state (a file just created).
DecodedOpenState decodeOpenState(ConstBytes bytes);

// CRC-32 (the polynomial of zip and PNG).
std::uint32_t crc32(ConstBytes bytes);

} // namespace store
