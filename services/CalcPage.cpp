#include "services/CalcPage.h"

#include "services/Progress.h"

#include <cmath>

namespace kv::services {

void CalcPage::bind(int id, float& v, Range r) { fields_.push_back({id, &v, nullptr, false, r}); }
void CalcPage::bind(int id, double& v, Range r) { fields_.push_back({id, nullptr, &v, false, r}); }
void CalcPage::bindResult(int id, float& v) { fields_.push_back({id, &v, nullptr, true, Range::Any}); }
void CalcPage::bindResult(int id, double& v) { fields_.push_back({id, nullptr, &v, true, Range::Any}); }

std::string CalcPage::labelOf(int id) const { return labelBefore(id); }

bool CalcPage::inputsInRange() {
    for (const Field& f : fields_) {
        if (f.result || inRange(f.range, f.f ? double(*f.f) : *f.d)) continue;
        setResults("");
        messageBox(rangeMessage(f.range, labelOf(f.id)), ui::kAppName, ui::Icon::Warning);
        return false;
    }
    return true;
}

bool CalcPage::resultsFinite(int culprit) {
    for (const Field& f : fields_) {
        if (!f.result || std::isfinite(f.f ? double(*f.f) : *f.d)) continue;
        setResults("");
        messageBox(noResultMessage(labelOf(culprit)), ui::kAppName, ui::Icon::Warning);
        return false;
    }
    return true;
}

bool CalcPage::onCommand(int id, ui::Notify code) {
    if (id == calc_.button && code == ui::Notify::Clicked) {
        calculate();
        return true;
    }
    return onPageCommand(id, code);
}

void CalcPage::calculate() {
    if (!readFields(calc_.incomplete) || !inputsInRange() || !check()) return;
    compute();
    if (!resultsFinite(calc_.culprit)) return;
    pause();
    writeFields();
    shown();
}

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
    if (calc_.calculatingBox) showCalculating(*this);
    else showProgressPause(*this);
}

void CalcPage::writeFields() {
    setTransfer();
    exchange(false);
}

} // namespace kv::services
