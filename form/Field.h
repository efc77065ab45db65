// A number shown in a control: the one row every window's form is made of.
#pragma once

#include "platform/ui/Numbers.h"
#include "services/InputRange.h"

namespace kv::form {

using services::Range;

enum class Role {
    Input,    // a design condition
    Optional, // an input that may stay blank; starts blank
    Result,   // computed; starts blank
};

// The value behind a field: a single- or double-precision member of the
// window's design record. Its start value is the record's own.
class Number {
public:
    Number(float& v) : f_(&v) {}
    Number(double& v) : d_(&v) {}
    double get() const { return f_ ? double(*f_) : *d_; }
    void set(double v) {
        if (f_) *f_ = float(v);
        else *d_ = v;
    }
    // The single-precision value the formula files read and write, or null.
    float* single() const { return f_; }
    // Digits of the data exchange: 6 for single precision, 15 for double.
    int digits() const { return f_ ? ui::kSingleDigits : ui::kDoubleDigits; }

private:
    float* f_ = nullptr;
    double* d_ = nullptr;
};

// Every group: a calculation of every field.
inline constexpr int kEveryGroup = -1;

struct Field {
    int control;               // the edit showing the value
    Number value;
    Role role = Role::Input;
    Range range = Range::Any;  // what the formulas need of an input
    int group = 0;             // the calculations that read and write it
    int label = 0;             // the control naming it; 0: the static before the edit
    const char* name = nullptr; // formula name: the formula files' and the design files' name of the field
    int digits = 0;            // significant digits shown; 0: the data exchange's

    Field(int control, Number value, Role role = Role::Input, Range range = Range::Any, int group = 0)
        : control(control), value(value), role(role), range(range), group(group) {}
    // A row with its formula name: name, edit, value, role, range, group.
    Field(const char* name, int control, Number value, Role role = Role::Input, Range range = Range::Any, int group = 0)
        : control(control), value(value), role(role), range(range), group(group), name(name) {}
    // A classic designer's row: formula name, edit, label, value, role, range.
    Field(const char* name, int control, int label, Number value, Role role, Range range = Range::Any)
        : control(control), value(value), role(role), range(range), label(label), name(name) {}

    bool input() const { return role != Role::Result; }
    bool in(int g) const { return g == kEveryGroup || group == g; }
    int shownDigits() const { return digits ? digits : value.digits(); }
};

} // namespace kv::form
