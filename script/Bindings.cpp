// Binding tables and label lists of the classic designers.
#include "script/Bindings.h"

#include "script/DesignerFiles.h"

#include <algorithm>

namespace kv::script {
namespace {

// A table of every registered designer; set up at start, before any lookup.
std::vector<BindingTable>& tables() {
    static std::vector<BindingTable> t;
    return t;
}
std::vector<std::vector<int>>& labelLists() {
    static std::vector<std::vector<int>> l;
    return l;
}

// A power of two at least twice the rows.
std::size_t slotCount(std::size_t rows) {
    std::size_t n = 16;
    while (n < 2 * rows) n *= 2;
    return n;
}

} // namespace

BindingTable::BindingTable(int id, std::vector<Binding> r) : templateId(id), rows(std::move(r)) {
    slots_.assign(slotCount(rows.size()), -1);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::size_t h = nameHash(rows[i].name) & mask;
        while (slots_[h] >= 0) h = (h + 1) & mask;
        slots_[h] = static_cast<std::int16_t>(i);
    }
}

int BindingTable::find(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t h = hash & mask; slots_[h] >= 0; h = (h + 1) & mask)
        if (rows[static_cast<std::size_t>(slots_[h])].name == name) return slots_[h];
    return -1;
}

void registerBindings(int templateId, std::vector<Binding> names, std::vector<int> labels) {
    auto& t = tables();
    auto& l = labelLists();
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].templateId == templateId) {
            t[i] = BindingTable(templateId, std::move(names));
            l[i] = std::move(labels);
            return;
        }
    t.emplace_back(templateId, std::move(names));
    l.push_back(std::move(labels));
}

std::span<const BindingTable> bindingTables() { return tables(); }

const BindingTable* bindingTableForFile(std::string_view fileName) {
    const DesignerFiles* d = designerOfFormulaFile(fileName);
    return d ? bindingTableForTemplate(d->templateId) : nullptr;
}

const BindingTable* bindingTableForTemplate(int templateId) {
    for (const BindingTable& t : tables())
        if (t.templateId == templateId) return &t;
    return nullptr;
}

std::span<const int> labelList(int templateId) {
    for (std::size_t i = 0; i < tables().size(); ++i)
        if (tables()[i].templateId == templateId) return labelLists()[i];
    return {};
}

} // namespace kv::script
