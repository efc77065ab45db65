#include "services/CalcPage.h"

#include "services/Progress.h"

#include <cmath>

namespace kv::services {

void CalcPage::bind(int id, float& v, Range r) { fields_.push_back({id, &v, nullptr, false, r}); }
void CalcPage::bind(int id, double& v, Range r) { fields_.push_back({id, nullptr, &v, false, r}); }
void CalcPage::bindResult(int id, float& v) { fields_.push_back({id, &v, nullptr, true, Range::Any}); }
void CalcPage::bindResult(int id, double& v) { fields_.push_back({id, nullptr, &v, true, Range::Any}); }

std::string CalcPage::labelOf(int id) const { return labelBefore(id); }

std::vector<int> CalcPage::resultsOf(const Calculation& c) const {
    if (!c.results.empty()) return c.results;
    std::vector<int> ids;
    for (const Field& f : fields_)
        if (f.result) ids.push_back(f.id);
    return ids;
}

bool CalcPage::refuse(std::string_view message) {
    refused_ = true;
    if (running_) {
        blank(resultsOf(*running_));
        blank(blankStandIns_);
    } else {
        setResults("");
    }
    messageBox(message, ui::kAppName, ui::Icon::Warning);
    return false;
}

bool CalcPage::inputsInRange() {
    for (const Field& f : fields_) {
        if (f.result || !uses(f.id) || inRange(f.range, f.f ? double(*f.f) : *f.d)) continue;
        return refuse(rangeMessage(f.range, labelOf(f.id)));
    }
    return true;
}

// Inputs are finite when read: one that is not was written by the computation.
bool CalcPage::resultsFinite(int culprit) {
    for (const Field& f : fields_) {
        if (std::isfinite(f.f ? double(*f.f) : *f.d)) continue;
        return refuse(noResultMessage(labelOf(culprit)));
    }
    return true;
}

bool CalcPage::onCommand(int id, ui::Notify code) {
    if (code == ui::Notify::Clicked)
        for (const Calculation& c : calcs_)
            if (c.button == id) {
                calculate(c);
                return true;
            }
    return onPageCommand(id, code);
}

void CalcPage::calculate(const Calculation& c) {
    running_ = &c;
    refused_ = false;
    blankStandIns_.clear();
    for (int id : c.standIns)
        if (text(id).empty()) {
            blankStandIns_.push_back(id);
            setText(id, "0");
        }
    bool ok = readFields(c.incomplete) && inputsInRange() && check() && !refused_;
    if (ok) {
        compute();
        ok = !refused_ && resultsFinite(c.culprit);
    }
    if (ok) {
        pause();
        writeFields();
        blank(c.blankAfter);
    }
    blank(blankStandIns_);
    if (ok) shown();
    running_ = nullptr;
    blankStandIns_.clear();
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
    if (text.empty()) resultsBlanked();
}

void CalcPage::blank(const std::vector<int>& ids) {
    if (ids.empty()) return;
    for (int id : ids) setText(id, "");
    resultsBlanked();
}

bool CalcPage::readFields(const char* message) {
    if (running_) {
        for (int id : resultsOf(*running_)) setText(id, "0");
    } else {
        setResults("0");
    }
    setTransfer();
    return exchange(true) || refuse(message);
}

void CalcPage::pause() {
    if (running_) blank(resultsOf(*running_));
    else setResults("");
    if (running_ && running_->calculatingBox) showCalculating(*this);
    else showProgressPause(*this);
}

void CalcPage::writeFields() {
    setTransfer();
    exchange(false);
}

} // namespace kv::services
