#include "loop/LoopPage.h"

#include "platform/ui/Canvas.h"
#include "services/Progress.h"

namespace kv::loop {

namespace {

struct Trace {
    const char* name;
    plot::Rgb color;
    int width;
    plot::LineStyle line;
};
// Loop, plant and amplifier, in this order on both plots.
constexpr Trace kTraces[] = {
    {"环路", 0xD00000, 2, plot::LineStyle::Solid},
    {"控制到输出", 0x0000C0, 1, plot::LineStyle::Dash},
    {"补偿器", 0x008000, 1, plot::LineStyle::Dash},
};

// A crossover this far from the one asked (as a ratio either way) is a design that missed.
constexpr double kStray = 1.2;

std::string marginText(double deg) { return ui::formatNumber(deg, 1, ui::Notation::Fixed) + "°"; }
} // namespace

std::string frequencyText(double hz) {
    return hz >= 1000 ? ui::formatNumber(hz / 1000, 4) + " kHz" : ui::formatNumber(hz, 4) + " Hz";
}

std::vector<std::string> loopWarnings(const bode::Response& r, double askedHz) {
    std::vector<std::string> w;
    if (!r.crossed) {
        w.push_back("按所得元件参数构成的环路，其增益在整个频段内都没有穿越0dB，得不到穿越频率和相位裕量！");
        return w;
    }
    const std::string at = frequencyText(r.crossover);
    if (r.margin <= 0)
        w.push_back("按所得元件参数构成的环路在" + at + "穿越0dB，相位裕量为" + marginText(r.margin) + "，环路不稳定！");
    else if (r.crossover > askedHz * kStray || r.crossover * kStray < askedHz)
        w.push_back("按所得元件参数构成的环路实际在" + at + "穿越0dB（设定为" + frequencyText(askedHz) + "），相位裕量为" +
                    marginText(r.margin) + "。");
    if (r.regain > 0)
        w.push_back("环路增益在" + frequencyText(r.regain) + "处再次升到0dB以上，增益裕量不足，环路可能振荡！");
    return w;
}

LoopPage::LoopPage(int templateId, ui::Dialog* parent, std::vector<form::Calculation> calcs,
                   std::span<const Caption> captions, std::span<const Link> links, int plotted)
    : FormWindow(templateId, parent, form::kPage), captions_(captions), links_(links), plotted_(plotted) {
    setCalculations(std::move(calcs));
    for (int id : {kGainPlot, kPhasePlot}) {
        plot::Plot* p = plot(id);
        if (!p) continue;
        p->x.log = true;
        p->x.title = "频率(Hz)";
        p->y.title = id == kGainPlot ? "增益(dB)" : "相位(°)";
        p->legend = true;
    }
}

void LoopPage::onInitDialog() {
    for (const Caption& c : captions_) setTextColor(c.id, c.color);
    for (const Link& l : links_) setTextColor(l.text, ui::kBlue);
    FormWindow::onInitDialog();
}

void LoopPage::showLoop(const bode::Response& r, double askedHz, const std::vector<std::string>& notes) {
    const bode::Curve* curves[] = {&r.loop, &r.plant, &r.compensator};
    for (int id : {kGainPlot, kPhasePlot}) {
        plot::Plot* p = plot(id);
        if (!p) continue;
        const bool gain = id == kGainPlot;
        p->clear();
        p->clearMarkers();
        for (std::size_t i = 0; i < std::size(kTraces); ++i) {
            plot::Series s;
            s.name = kTraces[i].name;
            s.color = kTraces[i].color;
            s.width = kTraces[i].width;
            s.line = kTraces[i].line;
            s.x = r.f;
            s.y = gain ? curves[i]->gain : curves[i]->phase;
            p->add(std::move(s));
        }
        std::string title = control(id)->tpl.caption;
        if (r.crossed) {
            plot::Marker& m = p->marker(1);
            m.x = r.crossover;
            m.y = gain ? 0 : r.phase;
            m.label = gain ? "穿越频率" : "相位裕量";
            title += gain ? "  穿越频率 " + frequencyText(r.crossover)
                          : "  相位裕量 " + marginText(r.margin) + (r.margin <= 0 ? "（不稳定）" : "");
        } else {
            title += "  无穿越频率";
        }
        p->title = title;
        p->touch();
        plotChanged(id);
    }
    std::vector<std::string> warnings = notes;
    for (std::string& w : loopWarnings(r, askedHz)) warnings.push_back(std::move(w));
    if (warnings.empty()) return;
    std::string text;
    for (const std::string& w : warnings) text += (text.empty() ? "" : "\n") + w;
    say(text, ui::Icon::Warning);
}

void LoopPage::clearLoop() {
    for (int id : {kGainPlot, kPhasePlot}) {
        plot::Plot* p = plot(id);
        if (!p || (p->series().empty() && p->markers().empty())) continue;
        p->clear();
        p->clearMarkers();
        p->title = control(id)->tpl.caption;
        plotChanged(id);
    }
}

void LoopPage::resultsBlanked() {
    if (text(plotted_).empty()) clearLoop();
}

ui::Rect LoopPage::rectOf(int id) const {
    const ui::ControlState* c = control(id);
    if (!c) return {};
    const ui::ControlTemplate& t = c->tpl;
    return {ui::dluToPxX(t.x), ui::dluToPxY(t.y), ui::dluToPxX(t.x + t.w), ui::dluToPxY(t.y + t.h)};
}

void LoopPage::stretchInto(ui::Canvas& c, int bitmap, int group, int x, int y) const {
    const ui::BitmapInfo* b = ui::findBitmap(bitmap);
    const ui::Rect g = rectOf(group);
    if (!b || g.width() == 0) return;
    c.stretchBitmap(bitmap, {x, y, g.right - 6, g.bottom - 6}, {0, 0, b->width, b->height});
}

void LoopPage::drawAt(ui::Canvas& c, int bitmap, int x, int y) const {
    const ui::BitmapInfo* b = ui::findBitmap(bitmap);
    if (b) c.stretchBitmap(bitmap, {x, y, x + b->width, y + b->height}, {0, 0, b->width, b->height});
}

void LoopPage::onPaint(ui::Canvas& c) {
    paintPictures(c);
    c.setPen(ui::kBlue, 1);
    for (const Link& l : links_) c.line(l.underline.left, l.underline.top, l.underline.right, l.underline.bottom);
}

void LoopPage::onLButtonUp(int x, int y) {
    for (const Link& l : links_) {
        const ui::Rect r = rectOf(l.text);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
            services::showTip(*this, l.tip);
            return;
        }
    }
}

} // namespace kv::loop
