#include "platform/panels/HeadlessHost.h"

namespace kv::panels {

void HeadlessHost::message(const std::string&, const std::string&) {
    if (!answers.empty() && answers.front() == "ok") answers.pop_front();
}

Answer HeadlessHost::confirm(const std::string&, const std::string&, bool cancel) {
    if (answers.empty()) return Answer::No;
    const std::string a = answers.front();
    answers.pop_front();
    if (a == "yes") return Answer::Yes;
    return a == "cancel" && cancel ? Answer::Cancel : Answer::No;
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

bool HeadlessHost::print(const Document& doc) {
    printed.push_back(doc);
    return printer ? printer(doc) : true;
}

} // namespace kv::panels
