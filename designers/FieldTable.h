// The tables a classic designer is made of: one row per design field (its
// formula name, edit and label controls, start value and role), one row per
// computation button (the built-in calculation it runs and the steps around
// it), and the message of each code its calculations report.
#pragma once

#include "designers/Outcome.h"
#include "services/InputRange.h"

#include <vector>

namespace kv::designers {

enum class Role {
    Input,    // a design condition
    Optional, // an input that may stay blank (read as 0 while blank); starts blank
    Result,   // computed; starts blank
};

// What the built-in formulas need of an input; a value outside is refused
// with a message naming the input by its label.
using services::Range;

template <class D>
struct Field {
    const char* name; // formula name
    int edit;         // edit control showing the value
    int label;        // label control naming it (0: none)
    float D::*value;
    float start;      // value at start (inputs)
    Role role;
    Range range = Range::Any;
};

// A condition checked before anything else, with the message when it fails:
// every field's edit is filled, or every field's value is not 0.
enum class Check { None, Filled, NonZero };

template <class D>
struct Precondition {
    Check kind = Check::None;
    std::vector<float D::*> fields = {};
    const char* message = nullptr;
};

template <class D>
struct Button {
    int id;
    Outcome (*calc)(D& design, int mode); // the built-in formulas
    const char* incomplete;               // message when a control holds no number
    std::vector<float D::*> optional = {};   // may be blank: "0" for the read, blank again after
    std::vector<float D::*> produced = {};   // optional fields this button computes: shown after
    std::vector<float D::*> standIns = {};   // 1 while a formula file runs, restored after
    std::vector<float D::*> zeroFill = {};   // results set to "0" for the read; empty: every blank result
    std::vector<float D::*> blankAfter = {}; // results blanked once the results are shown
    Precondition<D> first = {};
    bool formulaMustSucceed = true; // results are shown only when the formula run returned true
};

struct Message {
    int code;
    const char* text;
};

} // namespace kv::designers
