#pragma once
// Base names of the console's data files in its working folder (no extension).

namespace store {

inline constexpr const char* kConfigFileName = "BriskoConfig";
inline constexpr const char* kClientFileName = "BriskoClient";
inline constexpr const char* kRateFileName = "BriskoRate";
inline constexpr const char* kSaleItemFileName = "BriskoPOS";
inline constexpr const char* kPrinterFileName = "BriskoPrinter";
inline constexpr const char* kJournalFileName = "BriskoBills";
inline constexpr const char* kLogFileName = "BriskoLog";
// The unpaid bills and running sessions, kept against a crash.
inline constexpr const char* kOpenStateFileName = "BriskoOpen";

} // namespace store
