// The formula language: checks a formula file, converts every statement to
// postfix and evaluates it in single precision against a designer's fields.
#pragma once

#include "script/Bindings.h"
#include "script/FieldTarget.h"
#include "script/Reporter.h"

#include <string>
#include <string_view>

namespace kv::script {

// Error codes of the runner; the message of each is in formulaMessage().
enum FormulaError : int {
    kErrUnaryNoParen = 0,
    kErrMissingClose = 1,
    kErrMissingOpen = 2,
    kErrComma = 3,
    kErrIllegalChar = 4,
    kErrMissingSemicolon = 5,
    kErrDuplicate = 6,
    kErrDeclaration = 7,
    kErrAssignPosition = 8,
    kErrManyPoints = 9,
    kErrLeadingPoint = 10,
    kErrDivZero = 11,
    kErrOperator = 12,
    kErrTwoResults = 13,
    kErrUnknown = 14,
    kErrPow = 15,
    kErrLeadingOperator = 16,
    kErrEmptyStack = 18,
    kErrCount = 20,
    // limits
    kErrTooLong = 21,      // more than 5000 tokens (or an absurdly large text)
    kErrNesting = 22,      // operator stack deeper than 49
    kErrWordLength = 23,   // a word longer than 49 characters
    kErrDeclarations = 24, // more than 49 declared variables
    kErrValueStack = 25,   // more than 50 values pending
};

struct FormulaLimits {
    static constexpr int kTokens = 5000;
    static constexpr int kNesting = 49;
    static constexpr int kValues = 50;
    static constexpr int kPowArgs = 50;
    static constexpr int kDeclarations = 49;
    static constexpr int kWordLength = 49;
    static constexpr size_t kTextBytes = 16u << 20; // text before the end mark
};

// The message appended to "Error:第<line>" for an error code.
std::string_view formulaMessage(int code);

class FormulaRunner {
public:
    // Errors and notices go to `reporter`.
    explicit FormulaRunner(Reporter& reporter) : reporter_(reporter) {}

    // Runs the formula file `path`. Its file name selects the binding table.
    // Returns false when the text failed a conversion or structure check (or
    // the file could not be read), true otherwise, also after an evaluation
    // error; statements evaluated before such an error keep their results.
    bool run(const std::string& path, FieldTarget& target);
    // The same with the designer's own table.
    bool run(const std::string& path, const BindingTable* table, FieldTarget& target);

    // The same on a text already in memory; the text ends at its first '#'
    // (or at its end). No end-mark warning is shown.
    bool runText(std::string_view text, const BindingTable* table, FieldTarget& target);

private:
    Reporter& reporter_;
};

} // namespace kv::script
