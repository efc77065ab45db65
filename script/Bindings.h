// Formula names of the classic designers and the label lists of their
// interface files.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kv::script {

// Dialog templates of the classic designers.
enum DesignerTemplate : int {
    kFlybackTemplate = 129,
    kForwardTemplate = 130,
    kRccTemplate = 134,
    kHalfBridgeTemplate = 135,
    kFullBridgeTemplate = 136,
    kPushPullTemplate = 137,
    kDcdcTemplate = 165,
};

// FNV-1a hash of a name, as the tables use it.
constexpr std::uint32_t nameHash(std::string_view s) {
    std::uint32_t h = 2166136261u;
    for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

// One formula name: the designer field shown in edit control `control`.
struct Binding {
    std::string_view name;
    int control;
    std::string_view label; // the field's label in the dialog (with its unit)
};

// The names of one designer, shared by a group of formula files.
struct BindingTable {
    int templateId;
    std::span<const Binding> rows;

    // Row index of `name` (exact, case-sensitive), or -1.
    int find(std::string_view name) const { return find(name, nameHash(name)); }
    // The same with the name's hash already at hand.
    int find(std::string_view name, std::uint32_t hash) const;
    const Binding* lookup(std::string_view name) const {
        int i = find(name);
        return i < 0 ? nullptr : &rows[static_cast<size_t>(i)];
    }
};

// All seven tables.
std::span<const BindingTable> bindingTables();
// The table of the formula file `fileName` (a bare name or a path; only the
// part after the last '/' is compared), or null when no group has it.
const BindingTable* bindingTableForFile(std::string_view fileName);
const BindingTable* bindingTableForTemplate(int templateId);

// A label control of a designer and its built-in text.
struct LabelDef {
    int control;
    std::string_view text;
};

// The label controls an interface file numbers, in order (entry n sets the
// n-th). Empty for an unknown template.
std::span<const LabelDef> labelList(int templateId);

} // namespace kv::script
