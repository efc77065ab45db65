#include "toolbox/CalcPage.h"
#include "services/Progress.h"

#include "shell/Popups.h"

namespace kv::toolbox {

void CalcPage::bind(int id, float& v, bool result) { fields_.push_back({id, &v, nullptr, result}); }
void CalcPage::bind(int id, double& v, bool result) { fields_.push_back({id, nullptr, &v, result}); }

void CalcPage::onInitDialog() {
    writeFields();
    setResults("");
}

bool CalcPage::exchange(bool save) {
    if (!transfer_) return true;
    transfer_ = false;
    for (const Field& f : fields_) {
        if (save) {
            const bool ok = f.f ? readFloat(f.id, *f.f) : readDouble(f.id, *f.d);
            if (!ok) return false;
        } else if (f.f) {
            writeFloat(f.id, *f.f);
        } else {
            writeDouble(f.id, *f.d);
        }
    }
    return true;
}

void CalcPage::setResults(std::string_view text) {
    for (const Field& f : fields_)
        if (f.result) setText(f.id, text);
}

bool CalcPage::readFields(const char* message) {
    setResults("0");
    setTransfer();
    if (exchange(true)) return true;
    setResults("");
    messageBox(message, ui::kAppName, ui::Icon::Warning);
    return false;
}

void CalcPage::pause() {
    setResults("");
    services::showProgressPause(*this);
}

void CalcPage::writeFields() {
    setTransfer();
    exchange(false);
}

} // namespace kv::toolbox
