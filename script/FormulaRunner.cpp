#include "script/FormulaRunner.h"

#include "platform/ui/Backend.h"
#include "script/TextFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace kv::script {
namespace {

using L = FormulaLimits;

constexpr const char* kParseCaption = "公式解析错误";
constexpr const char* kEvalCaption = "计算出错";
constexpr const char* kNoEndMark =
    "公式文本内未发现结束符号'#'，程序自动在末尾加入了结束符,请重新计算结果!";

enum class Tok : std::uint8_t {
    Word,    // a run of word characters
    Pow,     // the word "pow"
    Zero,    // the "0" put before a unary minus operand
    Op,      // + - * /
    Assign,  // =
    Semi,    // ;
    Comma,   // , inside pow(...)
    EndPow,  // the ')' closing pow(
    Line,    // a line end
    End,     // the final "#"
    Var,     // a declared variable, by slot
    Removed, // taken out by the declaration and assignment passes
};

// Word facts gathered while reading it.
enum : std::uint8_t { kDigitsOnly = 1, kManyPoints = 2, kLeadingPoint = 4 };

struct Token {
    Tok kind;
    char op = 0;             // Op
    std::uint8_t slot = 0;   // Var
    std::uint8_t facts = 0;  // Word
    std::uint32_t pos = 0;   // Word, Pow: text position
    std::uint32_t len = 0;
    std::uint32_t hash = 0;  // Word: nameHash of the text
};

struct Failure {
    int code = -1;
    int line = 0;
    int line2 = 0; // second line of a duplicate declaration
};

// Character classes: 1 letter, 2 digit, 3 point, 0 anything else.
struct CharClasses {
    std::array<std::uint8_t, 256> of{};
    constexpr CharClasses() {
        for (int c = 'a'; c <= 'z'; ++c) of[static_cast<std::size_t>(c)] = 1;
        for (int c = 'A'; c <= 'Z'; ++c) of[static_cast<std::size_t>(c)] = 1;
        for (int c = '0'; c <= '9'; ++c) of[static_cast<std::size_t>(c)] = 2;
        of['.'] = 3;
    }
};
constexpr CharClasses kClasses;

std::uint8_t charClass(char c) { return kClasses.of[static_cast<unsigned char>(c)]; }

// ---- conversion to postfix ---------------------------------------------------

class Converter {
public:
    Converter(std::string_view text, std::vector<Token>& out) : s_(text), out_(out) {}

    bool run() {
        st_[0] = {'#', false};
        const std::size_t n = s_.size();
        std::size_t i = 0;
        while (i < n) {
            const unsigned char c = static_cast<unsigned char>(s_[i]);
            if (charClass(s_[i])) {
                const std::size_t b = i;
                std::uint32_t hash = 2166136261u; // as nameHash()
                int points = 0;
                bool letters = false;
                std::uint8_t k;
                while (i < n && (k = charClass(s_[i])) != 0) {
                    hash = (hash ^ static_cast<unsigned char>(s_[i])) * 16777619u;
                    points += k == 3;
                    letters |= k == 1;
                    ++i;
                }
                const std::size_t len = i - b;
                if (len > static_cast<std::size_t>(L::kWordLength)) return fail(kErrWordLength);
                const bool pow = len == 3 && s_.compare(b, 3, "pow") == 0;
                if (!emit(pow ? Tok::Pow : Tok::Word, 0, b, len)) return false;
                Token& w = out_.back();
                w.hash = hash;
                w.facts = static_cast<std::uint8_t>((letters ? 0 : kDigitsOnly) |
                                                    (points > 1 ? kManyPoints : 0) |
                                                    (s_[b] == '.' ? kLeadingPoint : 0));
                if (pow) {
                    powNext_ = true; // a pending unary minus waits for the call's ')'
                } else if (closeMark_) {
                    closeMark_ = false;
                    if (!closeUnary()) return false;
                }
                continue;
            }
            switch (c) {
            case ' ':
                do ++i;
                while (i < n && s_[i] == ' ');
                break;
            case ';':
                while (top() != '#' && top() != '(') {
                    if (top() != 'P' && !emit(Tok::Op, top())) return false;
                    --sp_;
                }
                if (top() == '(') return fail(kErrMissingClose);
                if (!emit(Tok::Semi)) return false;
                ++i;
                break;
            case '=':
                if (!emit(Tok::Assign)) return false;
                ++i;
                break;
            case '(':
                // Directly after a unary minus the whole group is its operand.
                if (!push('(', closeMark_)) return false;
                closeMark_ = false;
                if (powNext_) {
                    powNext_ = false;
                    if (!push('P')) return false;
                }
                ++i;
                if (i < n && s_[i] == '-') unaryPending_ = true;
                break;
            case ')': {
                bool unary = false;
                if (!closeGroup(kErrMissingOpen, unary)) return false;
                if (unary && !closeUnary()) return false;
                ++i;
                break;
            }
            case ',':
                for (;;) {
                    const char t = top();
                    if (t == '#') return fail(kErrComma);
                    if (t == 'P') break;
                    if (t != '(' && !emit(Tok::Op, t)) return false;
                    --sp_;
                }
                if (!emit(Tok::Comma)) return false;
                ++i;
                if (i < n && s_[i] == '-') unaryPending_ = true;
                break;
            case '/':
                if (i + 1 < n && s_[i + 1] == '/') {
                    i += 2;
                    while (i < n && s_[i] != '\n' && s_[i] != '\r' && s_[i] != '#') ++i;
                    if (i >= n || s_[i] == '#') return finish();
                    if (!lineEnd(i)) return false;
                    break;
                }
                [[fallthrough]];
            case '+':
            case '-':
            case '*':
                if (!op(static_cast<char>(c))) return false;
                ++i;
                break;
            case '\r':
            case '\n':
                if (!lineEnd(i)) return false;
                break;
            case '#':
                return finish();
            default:
                return fail(kErrIllegalChar);
            }
        }
        return finish();
    }

    Failure failure;

private:
    struct Entry {
        char c;           // '#', '(', 'P' (call marker), or an operator
        bool closesUnary; // '(' only: closing it also closes a unary minus
    };

    bool fail(int code) {
        failure = {code, line_ + 1, 0};
        return false;
    }

    [[gnu::always_inline]] bool emit(Tok k, char op = 0, std::size_t pos = 0,
                                     std::size_t len = 0) {
        if (out_.size() >= static_cast<std::size_t>(L::kTokens)) return fail(kErrTooLong);
        out_.push_back(Token{k, op, 0, 0, static_cast<std::uint32_t>(pos),
                             static_cast<std::uint32_t>(len), 0});
        return true;
    }

    bool push(char c, bool closesUnary = false) {
        if (sp_ >= L::kNesting) return fail(kErrNesting);
        st_[static_cast<std::size_t>(++sp_)] = {c, closesUnary};
        return true;
    }

    char top() const { return st_[static_cast<std::size_t>(sp_)].c; }

    static int priority(char c) {
        switch (c) {
        case '#': return 0;
        case '(': return 2;
        case '+':
        case '-': return 3;
        case '*':
        case '/': return 4;
        default: return -1; // call marker
        }
    }

    // CR, LF and CR LF each end one line.
    bool lineEnd(std::size_t& i) {
        if (s_[i] == '\r' && i + 1 < s_.size() && s_[i + 1] == '\n') ++i;
        ++i;
        ++line_;
        return emit(Tok::Line);
    }

    bool op(char c) {
        if (out_.empty()) return fail(kErrLeadingOperator);
        if (c == '-' && (out_.back().kind == Tok::Assign || unaryPending_)) {
            unaryPending_ = false;
            if (!emit(Tok::Zero) || !push('(') || !push('-')) return false;
            closeMark_ = true;
            return true;
        }
        const int incoming = priority(c);
        while (top() != '#' && priority(top()) >= incoming) {
            if (!emit(Tok::Op, top())) return false;
            --sp_;
        }
        return push(c);
    }

    // Pops operators down to the nearest '(' or call marker and removes it;
    // a call emits "endpow". `unary` tells whether that '(' carried a unary minus.
    bool closeGroup(int errorCode, bool& unary) {
        for (;;) {
            const char c = top();
            if (c == '#') return fail(errorCode);
            if (c == '(') {
                unary = st_[static_cast<std::size_t>(sp_--)].closesUnary;
                return true;
            }
            if (c == 'P') {
                --sp_; // the marker sits right above its '('
                unary = st_[static_cast<std::size_t>(sp_--)].closesUnary;
                return emit(Tok::EndPow);
            }
            if (!emit(Tok::Op, c)) return false;
            --sp_;
        }
    }

    bool closeUnary() {
        bool again = true;
        while (again) {
            again = false;
            if (!closeGroup(kErrUnaryNoParen, again)) return false;
        }
        return true;
    }

    bool finish() {
        if (!emit(Tok::End)) return false;
        ++line_;
        return true;
    }

    std::string_view s_;
    std::vector<Token>& out_;
    std::array<Entry, L::kNesting + 1> st_{};
    int sp_ = 0;
    int line_ = 0;
    bool powNext_ = false;      // the next '(' opens a pow call
    bool closeMark_ = false;    // a unary minus waits for its operand
    bool unaryPending_ = false; // '(' or ',' right before a '-'
};

// ---- name sets ---------------------------------------------------------------

// Declared names and their slots (at most 49 of them).
class DeclaredNames {
public:
    DeclaredNames() { slots_.fill(-1); }
    bool empty() const { return count_ == 0; }
    void add(std::string_view name, std::uint32_t hash, int slot) {
        unsigned h = hash & kMask;
        while (slots_[h] >= 0) h = (h + 1) & kMask;
        names_[static_cast<std::size_t>(count_)] = {name, slot};
        slots_[h] = static_cast<std::int8_t>(count_++);
    }
    int find(std::string_view name, std::uint32_t hash) const {
        unsigned h = hash & kMask;
        while (slots_[h] >= 0) {
            const auto& e = names_[static_cast<std::size_t>(slots_[h])];
            if (e.name == name) return e.slot;
            h = (h + 1) & kMask;
        }
        return -1;
    }

private:
    static constexpr unsigned kMask = 127;
    struct Entry {
        std::string_view name;
        int slot;
    };
    std::array<std::int8_t, kMask + 1> slots_;
    std::array<Entry, L::kDeclarations + 1> names_{};
    int count_ = 0;
};

// ---- numbers -----------------------------------------------------------------

struct PowersOfTen {
    std::array<float, L::kWordLength + 1> up{};   // 1, 10, 100, ...
    std::array<float, L::kWordLength + 1> down{}; // 1, 0.1, 0.01, ...
    PowersOfTen() {
        for (std::size_t k = 0; k < up.size(); ++k) {
            up[k] = static_cast<float>(std::pow(10.0, static_cast<double>(k)));
            down[k] = static_cast<float>(std::pow(10.0, -static_cast<double>(k)));
        }
    }
};

// Digit by digit in single precision; zero digits add nothing (so that
// leading zeros far out of range do not turn into inf * 0).
float numberValue(std::string_view w) {
    static const PowersOfTen p;
    const std::size_t point = w.find('.');
    const std::size_t intEnd = point == std::string_view::npos ? w.size() : point;
    float sum = 0.0f;
    for (std::size_t k = 0; k < intEnd; ++k) {
        const int d = w[intEnd - 1 - k] - '0';
        if (d) sum += static_cast<float>(d) * p.up[k];
    }
    if (point != std::string_view::npos)
        for (std::size_t k = point + 1; k < w.size(); ++k) {
            const int d = w[k] - '0';
            if (d) sum += static_cast<float>(d) * p.down[k - point];
        }
    return sum;
}

// ---- the run -----------------------------------------------------------------

class Run {
public:
    Run(std::string_view text, const BindingTable* table, FieldTarget& target, Reporter& reporter)
        : text_(text), table_(table), target_(target), reporter_(reporter) {}

    bool execute() {
        // never more tokens than characters + 1, nor than the limit
        tokens_.reserve(std::min(text_.size() + 1, static_cast<std::size_t>(L::kTokens)));
        Converter conv(text_, tokens_);
        if (!conv.run()) return report(conv.failure, true);
        Failure f;
        if (!check(f)) return report(f, true);
        if (!declare(f) || !assign(f) || !evaluate(f)) report(f, false);
        return true;
    }

private:
    std::string_view word(const Token& t) const { return {text_.data() + t.pos, t.len}; }
    bool isFloat(const Token& t) const {
        return t.kind == Tok::Word && t.len == 5 && std::memcmp(text_.data() + t.pos, "float", 5) == 0;
    }

    int lineOf(int idx) const {
        int line = 1;
        for (int k = 0; k < idx; ++k)
            if (tokens_[static_cast<std::size_t>(k)].kind == Tok::Line) ++line;
        return line;
    }

    // The nearest token at or before p that is neither a line end nor removed.
    int nearestReal(int p) const {
        for (; p >= 0; --p) {
            Tok k = tokens_[static_cast<std::size_t>(p)].kind;
            if (k != Tok::Line && k != Tok::Removed) return p;
        }
        return -1;
    }

    Failure at(int code, int line, int line2 = 0) const { return Failure{code, line, line2}; }

    // Structure: every statement before an assignment, a declaration or the
    // end closed by ';'; declarations well formed and unique.
    bool check(Failure& f) {
        const int n = static_cast<int>(tokens_.size());
        // One pass; an '=' problem anywhere is reported before a declaration problem.
        Failure assignFailure, declFailure;
        std::vector<int> decls;
        int lastReal = -1, beforeLastReal = -1; // the two nearest real tokens so far
        for (int l = 0; l < n; ++l) {
            const Token& t = tokens_[static_cast<std::size_t>(l)];
            if (t.kind == Tok::Line) continue;
            if (t.kind == Tok::Assign && assignFailure.code < 0 && lastReal >= 0) {
                // the target is lastReal; the statement before it must be closed
                const int b = beforeLastReal;
                if (b >= 0 && tokens_[static_cast<std::size_t>(b)].kind != Tok::Semi)
                    assignFailure = at(kErrMissingSemicolon, lineOf(b));
            } else if (isFloat(t) && declFailure.code < 0) {
                if (lastReal >= 0 && tokens_[static_cast<std::size_t>(lastReal)].kind != Tok::Semi) {
                    declFailure = at(kErrMissingSemicolon, lineOf(lastReal));
                } else if (!(l + 2 < n &&
                             tokens_[static_cast<std::size_t>(l + 1)].kind == Tok::Word &&
                             !isFloat(tokens_[static_cast<std::size_t>(l + 1)]) &&
                             tokens_[static_cast<std::size_t>(l + 2)].kind == Tok::Semi)) {
                    const bool noName = l + 1 < n && l + 2 >= n - 2 &&
                                        tokens_[static_cast<std::size_t>(l + 1)].kind == Tok::Semi;
                    declFailure = at(noName ? kErrUnknown : kErrDeclaration, lineOf(l));
                } else {
                    decls.push_back(l);
                    if (static_cast<int>(decls.size()) > L::kDeclarations)
                        declFailure = at(kErrDeclarations, lineOf(l));
                }
            }
            beforeLastReal = lastReal;
            lastReal = l;
        }
        if (assignFailure.code >= 0 || declFailure.code >= 0) {
            f = assignFailure.code >= 0 ? assignFailure : declFailure;
            return false;
        }
        declared_ = !decls.empty();
        {
            const int b = nearestReal(n - 2);
            if (b >= 0 && tokens_[static_cast<std::size_t>(b)].kind != Tok::Semi) {
                f = at(kErrMissingSemicolon, lineOf(b));
                return false;
            }
        }
        for (std::size_t j = 1; j < decls.size(); ++j)
            for (std::size_t i = 0; i < j; ++i)
                if (word(tokens_[static_cast<std::size_t>(decls[i] + 1)]) ==
                    word(tokens_[static_cast<std::size_t>(decls[j] + 1)])) {
                    f = at(kErrDuplicate, lineOf(decls[i]), lineOf(decls[j]));
                    return false;
                }
        return true;
    }

    // Declarations get slots 1, 2, ...; later uses of the name refer to the slot.
    bool declare(Failure& f) {
        if (!declared_) return true;
        DeclaredNames names;
        int next = 0;
        const std::size_t n = tokens_.size();
        for (std::size_t c = 0; c < n; ++c) {
            Token& t = tokens_[c];
            if (t.kind != Tok::Word) continue;
            if (isFloat(t)) {
                if (c + 2 >= n || tokens_[c + 2].kind != Tok::Semi) { // guarded by check()
                    f = at(kErrDeclaration, 1);
                    return false;
                }
                names.add(word(tokens_[c + 1]), tokens_[c + 1].hash, ++next);
                t.kind = tokens_[c + 1].kind = tokens_[c + 2].kind = Tok::Removed;
                c += 2;
                continue;
            }
            if (names.empty()) continue;
            const int slot = names.find(word(t), t.hash);
            if (slot > 0) {
                t.kind = Tok::Var;
                t.slot = static_cast<std::uint8_t>(slot);
            }
        }
        return true;
    }

    // Takes every target and its '=' out of the list.
    bool assign(Failure& f) {
        int semis = 0, assigns = 0;
        const int n = static_cast<int>(tokens_.size());
        for (int l = 0; l < n; ++l) {
            Token& t = tokens_[static_cast<std::size_t>(l)];
            if (t.kind == Tok::Semi) ++semis;
            if (t.kind != Tok::Assign) continue;
            ++assigns;
            const int target = nearestReal(l - 1);
            if (target < 0 || (tokens_[static_cast<std::size_t>(target)].kind != Tok::Word &&
                               tokens_[static_cast<std::size_t>(target)].kind != Tok::Var)) {
                f = at(kErrAssignPosition, lineOf(l));
                return false;
            }
            targets_.push_back(tokens_[static_cast<std::size_t>(target)]);
            tokens_[static_cast<std::size_t>(target)].kind = Tok::Removed;
            t.kind = Tok::Removed;
        }
        if (semis != assigns) {
            f = at(kErrCount, 0);
            return false;
        }
        return true;
    }

    // The field of a name, asked of the designer once per run.
    float* designerField(const Token& t) {
        if (!table_) return nullptr;
        const int row = table_->find(word(t), t.hash);
        if (row < 0) return nullptr;
        const auto r = static_cast<std::size_t>(row);
        if (r >= fieldCache_.size()) return target_.field(table_->rows[r].control);
        if (!fieldKnown_[r]) {
            fieldCache_[r] = target_.field(table_->rows[r].control);
            fieldKnown_[r] = true;
        }
        return fieldCache_[r];
    }

    bool evaluate(Failure& f) {
        std::array<float, L::kValues> values{};
        std::array<float, L::kPowArgs> bases{};
        std::array<int, L::kPowArgs> commas{}; // ',' seen per open pow call
        int nv = 0, nb = 0, depth = 0, line = 0;
        std::size_t nextTarget = 0;
        auto fail = [&](int code) {
            f = at(code, line + 1);
            return false;
        };
        auto push = [&](float v) {
            if (nv >= L::kValues) return fail(kErrValueStack);
            values[static_cast<std::size_t>(nv++)] = v;
            return true;
        };
        for (const Token& t : tokens_) {
            switch (t.kind) {
            case Tok::Line:
                ++line;
                break;
            case Tok::Zero:
                if (!push(0.0f)) return false;
                break;
            case Tok::Var:
                if (!push(slots_[t.slot])) return false;
                break;
            case Tok::Word: {
                if (t.facts & kManyPoints) return fail(kErrManyPoints);
                if (t.facts & kLeadingPoint) return fail(kErrLeadingPoint);
                if (t.facts & kDigitsOnly) {
                    if (!push(numberValue(word(t)))) return false;
                    break;
                }
                float* p = designerField(t);
                if (!p) return fail(kErrUnknown);
                if (!push(*p)) return false;
                break;
            }
            case Tok::Op: {
                if (nv < 2) return fail(kErrOperator);
                const float b = values[static_cast<std::size_t>(--nv)];
                const float a = values[static_cast<std::size_t>(--nv)];
                float r = 0.0f;
                switch (t.op) {
                case '+': r = a + b; break;
                case '-': r = a - b; break;
                case '*': r = a * b; break;
                default:
                    if (b == 0.0f) return fail(kErrDivZero);
                    r = a / b;
                    break;
                }
                values[static_cast<std::size_t>(nv++)] = r;
                break;
            }
            case Tok::Pow:
                // nesting is bounded by the conversion; more "pow" words than
                // that can never be closed
                if (depth >= L::kPowArgs) return fail(kErrPow);
                commas[static_cast<std::size_t>(depth++)] = 0;
                break;
            case Tok::Comma:
                // exactly one ',' per call
                if (depth == 0 || ++commas[static_cast<std::size_t>(depth - 1)] > 1)
                    return fail(kErrPow);
                if (nv > 0) {
                    if (nb >= L::kPowArgs) return fail(kErrPow);
                    bases[static_cast<std::size_t>(nb++)] = values[static_cast<std::size_t>(--nv)];
                }
                break;
            case Tok::EndPow: {
                if (depth == 0 || commas[static_cast<std::size_t>(depth - 1)] != 1 || nv == 0 ||
                    nb == 0)
                    return fail(kErrPow);
                --depth;
                const float e = values[static_cast<std::size_t>(--nv)];
                const float b = bases[static_cast<std::size_t>(--nb)];
                values[static_cast<std::size_t>(nv++)] =
                    static_cast<float>(std::pow(static_cast<double>(b), static_cast<double>(e)));
                break;
            }
            case Tok::Semi: {
                if (depth > 0) return fail(kErrPow);
                if (nv == 0) return fail(kErrEmptyStack);
                if (nv > 1) return fail(kErrTwoResults);
                const float v = values[static_cast<std::size_t>(--nv)];
                if (nextTarget >= targets_.size()) { // guarded by assign()
                    f = at(kErrCount, 0);
                    return false;
                }
                const Token& target = targets_[nextTarget++];
                if (target.kind == Tok::Var) {
                    slots_[target.slot] = v;
                } else {
                    float* p = designerField(target);
                    if (!p) return fail(kErrUnknown);
                    *p = v;
                }
                break;
            }
            case Tok::End:
            case Tok::Assign:
            case Tok::Removed:
                break;
            }
        }
        return true;
    }

    bool report(const Failure& f, bool parse) {
        std::string text = "Error:第" + std::to_string(f.line);
        if (f.code == kErrDuplicate) text += "行和第" + std::to_string(f.line2);
        text += formulaMessage(f.code);
        reporter_.report(text, parse ? kParseCaption : kEvalCaption, kv::ui::Icon::Error);
        return false;
    }

    std::string_view text_;
    const BindingTable* table_;
    FieldTarget& target_;
    Reporter& reporter_;
    std::vector<Token> tokens_;
    std::vector<Token> targets_;
    bool declared_ = false;
    std::array<float*, 64> fieldCache_{};
    std::array<bool, 64> fieldKnown_{};
    std::array<float, L::kDeclarations + 1> slots_{}; // slot 0 unused
};

bool refuseTooLong(Reporter& reporter) {
    reporter.report("Error:第1" + std::string(formulaMessage(kErrTooLong)), kParseCaption, kv::ui::Icon::Error);
    return false;
}

} // namespace

std::string_view formulaMessage(int code) {
    switch (code) {
    case 0: return "行语法错误，缺少 '(' !";
    case 1: return "行语法错误，缺少 ')' !";
    case 2: return "行语法错误，缺少 '(' !";
    case 3: return "行语法错误,  '，' 位置出错!";
    case 4: return "行内含有非法字符!";
    case 5: return "行缺少行结束符 '；' 或者 '；' 位置错误!";
    case 6: return "行变量重复定义!";
    case 7: return "行语法错误，自定义变量后缺少 '；' !";
    case 8: return "行语法错误，'='位置错误 !";
    case 9: return "行文本内有数据出现多个小数点，计算终止！";
    case 10: return "行文本内有数据首位出现小数点，计算终止！";
    case 11: return "行出现除数为0！ \n请检查公式！！";
    case 12: return "行可能有多余的运算符 !";
    case 13: return "行内可能有多余的变量。$$$ 堆栈出现两个结果，错误!";
    case 14: return "行含有未知内容，计算已经终止! \n该内容是系统未定义或者无法识别的内容。";
    case 15: return "行pow(a,b) 函数运算出错，公式有误!";
    case 16: return "行开始出现运算符，计算终止!";
    case 18: return "行有多余的'；'或者其位置错误导致堆栈内并没有数据!";
    case 20:
        return "行？？  No!\n'；' 和 '=' 个数不同，无法确定计算结果赋给哪个变量！\n"
               "程序不清楚错误发生的行数，请自行检查公式！ Sorry ！";
    case 21: return "行公式文本过长（最多5000个单元），计算终止！";
    case 22: return "行括号、pow函数或运算符嵌套超过49层，计算终止！";
    case 23: return "行内名称或数字超过49个字符，计算终止！";
    case 24: return "行自定义变量超过49个，计算终止！";
    case 25: return "行表达式过长，堆栈内数据超过50个，计算终止！";
    default: return "行公式有误!";
    }
}

bool FormulaRunner::runText(std::string_view text, const BindingTable* table,
                            FieldTarget& target) {
    const std::size_t mark = text.find('#');
    if (mark != std::string_view::npos) text = text.substr(0, mark);
    if (text.size() > L::kTextBytes) return refuseTooLong(reporter_);
    Run run(text, table, target, reporter_);
    return run.execute();
}

bool FormulaRunner::run(const std::string& path, FieldTarget& target) {
    return run(path, bindingTableForFile(path), target);
}

bool FormulaRunner::run(const std::string& path, const BindingTable* table, FieldTarget& target) {
    MarkedText file;
    if (!loadMarked(path, false, L::kTextBytes, file, kNoEndMark, reporter_)) return false;
    if (file.tooLong) return refuseTooLong(reporter_);
    return runText(file.text, table, target);
}

} // namespace kv::script
