// Interface files: user texts for the numbered labels of a classic designer.
#pragma once

#include "script/Bindings.h"
#include "script/Reporter.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::ui {
class Dialog;
}

namespace kv::script {

class InterfaceLoader {
public:
    // Problems and notices go to `reporter`.
    explicit InterfaceLoader(Reporter& reporter) : reporter_(reporter) {}

    struct Entry {
        int number;       // 1-based position in the designer's label list
        std::string text; // UTF-8
    };

    static constexpr int kMaxEntries = 100;

    // Reads and checks the interface file `path` (created empty when missing;
    // a missing end mark is appended with a notice) for a designer with
    // `count` labels. On the first problem shows its box and returns false.
    bool load(const std::string& path, int count, std::vector<Entry>& entries);
    // The checks on the bytes before the end mark (GBK or UTF-8). `entries`
    // stays empty unless every check passed.
    bool parse(std::string_view bytes, int count, std::vector<Entry>& entries);

    // Loads `path` and, only when every check passed, sets the texts of the
    // numbered label controls of `dlg` (entry n sets labels[n - 1]).
    bool apply(const std::string& path, kv::ui::Dialog& dlg, std::span<const int> labels);

private:
    Reporter& reporter_;
};

} // namespace kv::script
