#include "script/Reporter.h"

#include "platform/ui/Backend.h"

namespace kv::script {

void BoxReporter::report(const Report& r) {
    ui::backend().messageBox(nullptr, r.text, r.caption, r.icon, ui::Buttons::Ok);
}

} // namespace kv::script
