#include "figure_report.h"

#include <cstdio>

namespace console::ui::bench {

namespace {

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

void FigureReport::target(const std::string& name, double value, double limit, const std::string& unit,
                          const std::string& what)
{
    lines_.push_back(name + "=" + number(value) + " " + unit + "  target <= " + number(limit) + " " + unit + "  " +
                     (value <= limit ? "PASS" : "MISS") + (what.empty() ? "" : "  (" + what + ")"));
}

void FigureReport::figure(const std::string& name, double value, const std::string& unit, const std::string& what)
{
    lines_.push_back("  " + name + "=" + number(value) + " " + unit + (what.empty() ? "" : "  (" + what + ")"));
}

void FigureReport::note(const std::string& text) { lines_.push_back("  " + text); }

void FigureReport::print() const
{
    for (const std::string& line : lines_)
        std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace console::ui::bench
