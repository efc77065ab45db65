// Formula names of the classic designers and the label lists of their
// interface files. Each designer registers them from its field table.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kv::script {

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
};

// The names of one designer, shared by a group of formula files.
struct BindingTable {
    int templateId = 0;
    std::vector<Binding> rows;

    BindingTable(int templateId, std::vector<Binding> rows);
    // Row index of `name` (exact, case-sensitive), or -1.
    int find(std::string_view name) const { return find(name, nameHash(name)); }
    // The same with the name's hash already at hand.
    int find(std::string_view name, std::uint32_t hash) const;
    const Binding* lookup(std::string_view name) const {
        int i = find(name);
        return i < 0 ? nullptr : &rows[static_cast<size_t>(i)];
    }

private:
    std::vector<std::int16_t> slots_; // open addressing by hash: row index, -1 empty
};

// The tables of every registered designer.
std::span<const BindingTable> bindingTables();
// The table of the formula file `fileName` (a bare name or a path; only the
// part after the last '/' is compared), or null when no group has it.
const BindingTable* bindingTableForFile(std::string_view fileName);
const BindingTable* bindingTableForTemplate(int templateId);

// The label controls an interface file numbers, in order (entry n sets the
// n-th). Empty for an unknown template.
std::span<const int> labelList(int templateId);

// Registers (or replaces) the names and the label list of designer `templateId`.
void registerBindings(int templateId, std::vector<Binding> names, std::vector<int> labels);

} // namespace kv::script
