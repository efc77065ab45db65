#include "platform/panels/HeadlessHost.h"

namespace kv::panels {

HeadlessHost::HeadlessHost() {
    backend.answerRule = ui::HeadlessBackend::AnswerRule::Popups;
    ui::setBackend(&backend);
}

void HeadlessHost::runLoop() {
    if (script) script();
}

bool HeadlessHost::print(const Document& doc) {
    printed.push_back(doc);
    return printer ? printer(doc) : true;
}

} // namespace kv::panels
