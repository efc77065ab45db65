// Where the formula runner and the interface loader send their messages: the
// designers show them in message boxes without owner, `korvane-cli formula`
// prints them.
#pragma once

#include "platform/ui/Dialog.h"

#include <string>
#include <string_view>
#include <vector>

namespace kv::script {

struct Report {
    std::string text;
    std::string caption;
    ui::Icon icon = ui::Icon::Error;
};

class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void report(const Report& r) = 0;
    void report(std::string_view text, std::string_view caption, ui::Icon icon) {
        report(Report{std::string(text), std::string(caption), icon});
    }
};

// Each message in a message box without owner, with its caption and icon.
class BoxReporter : public Reporter {
public:
    void report(const Report& r) override;
    using Reporter::report;
};

// The messages kept in order.
class ReportList : public Reporter {
public:
    void report(const Report& r) override { reports.push_back(r); }
    using Reporter::report;
    std::vector<Report> reports;
};

} // namespace kv::script
