// How a designer lends its single-precision fields to the formula runner.
#pragma once

#include <unordered_map>

namespace kv::script {

// A designer's fields, addressed by the edit control that shows each one.
// Designers implement this; the binding tables map formula names to control ids.
class FieldTarget {
public:
    virtual ~FieldTarget() = default;
    // The field shown in edit control `controlId`, or null when there is none.
    virtual float* field(int controlId) = 0;
};

// A free-standing set of fields (command-line checker, tests). Every control
// asked for exists and starts at 0 unless `strict` is set, in which case only
// controls given a value beforehand exist.
class FieldStore : public FieldTarget {
public:
    explicit FieldStore(bool strict = false) : strict_(strict) {}
    float* field(int controlId) override {
        if (strict_) {
            auto it = values_.find(controlId);
            return it == values_.end() ? nullptr : &it->second;
        }
        return &values_[controlId];
    }
    void set(int controlId, float v) { values_[controlId] = v; }
    float get(int controlId) const {
        auto it = values_.find(controlId);
        return it == values_.end() ? 0.0f : it->second;
    }
    bool has(int controlId) const { return values_.count(controlId) != 0; }

private:
    bool strict_;
    std::unordered_map<int, float> values_; // node-based: field pointers stay valid
};

} // namespace kv::script
