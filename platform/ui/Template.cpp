#include "platform/ui/Template.h"

#include "platform/ui/LineTokens.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace kv::ui {
namespace {

struct KindName {
    const char* name;
    Kind kind;
};
constexpr KindName kKinds[] = {
    {"BUTTON", Kind::Button}, {"DEFBUTTON", Kind::DefButton}, {"EDIT", Kind::Edit},
    {"STATIC", Kind::Static}, {"GROUP", Kind::Group},         {"CHECK", Kind::Check},
    {"RADIO", Kind::Radio},   {"COMBO", Kind::Combo},         {"LIST", Kind::List},
    {"PROGRESS", Kind::Progress}, {"PICTURE", Kind::Picture},
    {"PLOT", Kind::Plot},
};

struct StyleName {
    const char* name;
    unsigned flag;
};
constexpr StyleName kStyles[] = {
    {"GROUPSTART", StyleGroupStart}, {"MULTILINE", StyleMultiline}, {"READONLY", StyleReadOnly},
    {"NUMBER", StyleNumber},         {"SORT", StyleSort},           {"DROPDOWNLIST", StyleDropDownList},
    {"DISABLED", StyleDisabled},     {"HIDDEN", StyleHidden},       {"CENTER", StyleCenter},
    {"RIGHT", StyleRight},           {"SMOOTH", StyleSmooth},       {"BITMAP", StyleBitmap},
    {"VSCROLL", StyleVScroll},       {"PASSWORD", StylePassword},   {"AUTOHSCROLL", StyleAutoHScroll},
    {"CAPTION", StyleCaption},       {"SYSMENU", StyleSysMenu},     {"MINIMIZEBOX", StyleMinimizeBox},
    {"BORDER", StyleBorder},         {"POPUP", StylePopup},         {"CHILD", StyleChild},
    {"WHITE", StyleWhite},
};

bool parseStyles(const std::vector<LineToken>& t, size_t from, unsigned& style,
                 std::string& error) {
    for (size_t k = from; k < t.size(); ++k) {
        auto it = std::find_if(std::begin(kStyles), std::end(kStyles),
                               [&](const StyleName& s) { return t[k].value == s.name; });
        if (it == std::end(kStyles) || t[k].quoted) {
            error = "unknown style " + t[k].value;
            return false;
        }
        style |= it->flag;
    }
    return true;
}

} // namespace

bool parseTemplates(std::string_view text, TemplateSet& set, std::string& error) {
    std::vector<DialogTemplate>& out = set.dialogs;
    std::vector<BitmapInfo>& bitmaps = set.bitmaps;
    DialogTemplate* cur = nullptr;
    int lineNo = 0;
    size_t pos = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
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
        if (!tokenizeLine(line, t, why, false)) return fail(why);
        if (t.empty()) continue;
        const std::string& head = t[0].value;
        if (head == "BITMAP") {
            BitmapInfo b;
            if (t.size() != 5 || !parseInt(t[1].value, b.id) || !parseInt(t[2].value, b.width) ||
                !parseInt(t[3].value, b.height))
                return fail("BITMAP id width height \"file\"");
            b.file = t[4].value;
            bitmaps.push_back(b);
            continue;
        }
        if (head == "STRING") {
            StringEntry e;
            if (cur || t.size() != 3 || !parseInt(t[1].value, e.id) || !t[2].quoted)
                return fail("STRING id \"text\" outside dialogs");
            e.text = t[2].value;
            set.strings.push_back(e);
            continue;
        }
        if (head == "DIALOG") {
            if (cur) return fail("DIALOG inside DIALOG");
            DialogTemplate d;
            if (t.size() < 5 || !parseInt(t[1].value, d.id) || !parseInt(t[2].value, d.w) ||
                !parseInt(t[3].value, d.h) || !t[4].quoted)
                return fail("DIALOG id width height \"caption\" [styles]");
            d.caption = t[4].value;
            if (!parseStyles(t, 5, d.style, why)) return fail(why);
            for (const auto& o : out)
                if (o.id == d.id) return fail("duplicate dialog " + std::to_string(d.id));
            out.push_back(std::move(d));
            cur = &out.back();
            continue;
        }
        if (head == "END") {
            if (!cur) return fail("END without DIALOG");
            cur = nullptr;
            continue;
        }
        auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                 [&](const KindName& k) { return head == k.name; });
        if (kind == std::end(kKinds)) return fail("unknown word " + head);
        if (!cur) return fail("control outside DIALOG");
        ControlTemplate c;
        c.kind = kind->kind;
        if (t.size() < 7 || !parseInt(t[1].value, c.id) || !parseInt(t[2].value, c.x) ||
            !parseInt(t[3].value, c.y) || !parseInt(t[4].value, c.w) || !parseInt(t[5].value, c.h) ||
            !t[6].quoted)
            return fail(head + " id x y w h \"caption\" [styles]");
        c.caption = t[6].value;
        if (!parseStyles(t, 7, c.style, why)) return fail(why);
        cur->controls.push_back(std::move(c));
    }
    if (cur) return fail("missing END");
    return true;
}

// Generated from resources/dialogs.dlg at build time.
const char* builtinTemplateText();

namespace {

const TemplateSet& builtin() {
    static const TemplateSet set = [] {
        TemplateSet s;
        std::string error;
        // The tests check the templates; this only guards a corrupted binary.
        if (!parseTemplates(builtinTemplateText(), s, error)) s = TemplateSet{};
        return s;
    }();
    return set;
}
} // namespace

const DialogTemplate* findTemplate(int id) {
    for (const auto& d : builtin().dialogs)
        if (d.id == id) return &d;
    return nullptr;
}

const BitmapInfo* findBitmap(int id) {
    for (const auto& b : builtin().bitmaps)
        if (b.id == id) return &b;
    return nullptr;
}

const std::vector<DialogTemplate>& allTemplates() { return builtin().dialogs; }

std::string loadString(int id) {
    for (const auto& s : builtin().strings)
        if (s.id == id) return s.text;
    return {};
}

} // namespace kv::ui
