#pragma once
// Where the configuration dialog writes what a Save changed: one activity-log
// event text per change ("CONFIG CHANGED,Rates,2,..."), so that the owner
// reading the log sees every change to rates, prices, stations and the
// password beside the bills they affected. Window thread only.

#include <functional>
#include <string>

namespace console::configuration {

using AuditLog = std::function<void(const std::string& event)>;

} // namespace console::configuration
