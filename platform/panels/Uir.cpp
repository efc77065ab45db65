#include "platform/panels/Uir.h"

#include "platform/ui/LineTokens.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

namespace kv::panels {
namespace {

using ui::LineToken;
using ui::parseInt;

bool toDouble(const std::string& s, double& v) {
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

struct KindName {
    const char* name;
    CtrlKind kind;
};
constexpr KindName kKinds[] = {
    {"NUMERIC", CtrlKind::Numeric}, {"INDICATOR", CtrlKind::Indicator},
    {"BUTTON", CtrlKind::Button},   {"RING", CtrlKind::Ring},
    {"SWITCH", CtrlKind::Switch},   {"GRAPH", CtrlKind::Graph},
    {"TEXT", CtrlKind::Text},
};

// Dialog units: keeps windows of a sane size.
constexpr int kMaxExtent = 4000;

bool options(const std::vector<LineToken>& t, size_t from, CtrlDef& c, std::string& why) {
    for (size_t k = from; k < t.size(); ++k) {
        const LineToken& o = t[k];
        if (o.key.empty()) {
            if (o.quoted) return why = "unexpected string", false;
            if (o.value == "dimmed") c.dimmed = true;
            else if (o.value == "hidden") c.hidden = true;
            else if (o.value == "int") c.integer = true;
            else if (o.value == "xlog") c.xlog = true;
            else if (o.value == "ylog") c.ylog = true;
            else return why = "unknown flag " + o.value, false;
            continue;
        }
        if (o.key == "callback") c.callback = o.value;
        else if (o.key == "label") c.label = o.value;
        else if (o.key == "unit") c.unit = o.value;
        else if (o.key == "xtitle") c.xtitle = o.value;
        else if (o.key == "ytitle") c.ytitle = o.value;
        else if (o.key == "lw") {
            if (!parseInt(o.value, c.labelWidth) || c.labelWidth < 0 || c.labelWidth > kMaxExtent)
                return why = "bad label width", false;
        } else if (o.key == "value") {
            if (!toDouble(o.value, c.value)) return why = "bad value", false;
        } else if (o.key == "digits") {
            if (!parseInt(o.value, c.digits) || c.digits < 1 || c.digits > 17)
                return why = "digits must be 1 to 17", false;
        } else if (o.key == "items") {
            c.items.clear();
            size_t p = 0;
            for (;;) {
                size_t bar = o.value.find('|', p);
                c.items.push_back(o.value.substr(p, bar == std::string::npos ? bar : bar - p));
                if (bar == std::string::npos) break;
                p = bar + 1;
            }
        } else {
            return why = "unknown key " + o.key, false;
        }
    }
    return true;
}

} // namespace

bool parseUir(std::string_view text, std::vector<PanelDef>& out, std::string& error) {
    out.clear();
    PanelDef* cur = nullptr;
    std::set<int> panelIds, ctrlIds;
    int lineNo = 0;
    size_t pos = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
        out.clear();
        return false;
    };
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        std::string_view line = text.substr(pos, nl - pos);
        pos = nl + 1;
        ++lineNo;
        std::vector<LineToken> t;
        std::string why;
        if (!ui::tokenizeLine(line, t, why, true)) return fail(why);
        if (t.empty()) continue;
        if (!t[0].key.empty() || t[0].quoted) return fail("a line starts with a keyword");
        const std::string& head = t[0].value;
        if (head == "PANEL") {
            if (cur) return fail("PANEL inside PANEL");
            PanelDef p;
            if (t.size() < 5 || !parseInt(t[1].value, p.id) || !parseInt(t[2].value, p.w) ||
                !parseInt(t[3].value, p.h) || !t[4].quoted || !t[4].key.empty())
                return fail("PANEL id width height \"title\" [close=CONTROL]");
            if (p.w <= 0 || p.h <= 0 || p.w > kMaxExtent || p.h > kMaxExtent)
                return fail("panel size out of range");
            p.title = t[4].value;
            for (size_t k = 5; k < t.size(); ++k) {
                if (t[k].key != "close" || !parseInt(t[k].value, p.closeCtrl))
                    return fail("PANEL takes only close=CONTROL");
            }
            if (!panelIds.insert(p.id).second) return fail("duplicate panel " + std::to_string(p.id));
            out.push_back(std::move(p));
            cur = &out.back();
            ctrlIds.clear();
            continue;
        }
        if (head == "END") {
            if (!cur || t.size() != 1) return fail("END without PANEL");
            if (cur->closeCtrl != -1 && !ctrlIds.count(cur->closeCtrl))
                return fail("close control " + std::to_string(cur->closeCtrl) + " not in panel");
            cur = nullptr;
            continue;
        }
        auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                 [&](const KindName& k) { return head == k.name; });
        if (kind == std::end(kKinds)) return fail("unknown keyword " + head);
        if (!cur) return fail("control outside PANEL");
        CtrlDef c;
        c.kind = kind->kind;
        if (t.size() < 7 || !parseInt(t[1].value, c.id) || !parseInt(t[2].value, c.x) ||
            !parseInt(t[3].value, c.y) || !parseInt(t[4].value, c.w) || !parseInt(t[5].value, c.h) ||
            !t[6].quoted || !t[6].key.empty())
            return fail(head + " id x y width height \"caption\" [options]");
        if (c.x < 0 || c.y < 0 || c.w < 0 || c.h < 0 || c.x > kMaxExtent || c.y > kMaxExtent ||
            c.w > kMaxExtent || c.h > kMaxExtent)
            return fail("position out of range");
        if (c.id < -1) return fail("bad control id");
        if (c.id == -1 && c.kind != CtrlKind::Text) return fail("only a TEXT may have id -1");
        c.caption = t[6].value;
        if (!options(t, 7, c, why)) return fail(why);
        if (c.id != -1 && !ctrlIds.insert(c.id).second)
            return fail("duplicate control " + std::to_string(c.id));
        cur->ctrls.push_back(std::move(c));
    }
    if (cur) return fail("PANEL " + std::to_string(cur->id) + " has no END");
    return true;
}

} // namespace kv::panels
