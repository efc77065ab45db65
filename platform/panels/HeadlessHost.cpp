#include "platform/panels/HeadlessHost.h"

namespace kv::panels {

void HeadlessHost::message(const std::string&, const std::string&) {
    if (!answers.empty() && answers.front() == "ok") answers.pop_front();
}

bool HeadlessHost::confirm(const std::string&, const std::string&) {
    if (answers.empty()) return false;
    const bool yes = answers.front() == "yes";
    answers.pop_front();
    return yes;
}

std::optional<std::string> HeadlessHost::selectFile(const FileRequest&) {
    if (files.empty()) return std::nullopt;
    std::string f = files.front();
    files.pop_front();
    if (f.empty()) return std::nullopt;
    return f;
}

void HeadlessHost::runLoop() {
    if (script) script();
}

bool HeadlessHost::print(Panel& p, const PrintJob& job) {
    printed.push_back(p.def.id);
    return printer ? printer(p, job) : true;
}

} // namespace kv::panels
