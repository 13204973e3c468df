#pragma once
// FigureReport: the benchmark's output. Each measured figure is one line
// "name=value" with its target and PASS or MISS; figures without a target and
// notes follow as indented lines under the figure they explain.

#include <string>
#include <vector>

namespace console::ui::bench {

class FigureReport {
public:
    // PASS when value <= limit.
    void target(const std::string& name, double value, double limit, const std::string& unit, const std::string& what);
    void figure(const std::string& name, double value, const std::string& unit, const std::string& what = {});
    void note(const std::string& text);
    void print() const;

private:
    std::vector<std::string> lines_;
};

} // namespace console::ui::bench
