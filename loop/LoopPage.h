// What the three pages of the loop sheet share on the calculator page frame:
// coloured group captions, pictures stretched into their groups, links that
// open a tip box, and the Bode plot of the compensated loop beside the results.
#pragma once

#include "loop/Bode.h"
#include "form/Form.h"

#include <span>

namespace kv::loop {

class LoopPage : public form::FormWindow {
public:
    // The gain and the phase plot, on every page.
    enum : int { kGainPlot = 1301, kPhasePlot = 1302 };

    struct Caption {
        int id;
        ui::Color color;
    };
    // A static text that opens tip box `tip`, underlined by a blue line.
    struct Link {
        int text;
        int tip;
        ui::Rect underline;
    };

    // `plotted`: a result that is blank exactly when the plot has no loop to show.
    LoopPage(int templateId, ui::Dialog* parent, std::vector<form::Calculation> calcs,
             std::span<const Caption> captions, std::span<const Link> links, int plotted);

    void onInitDialog() override;
    void onPaint(ui::Canvas& c) override;
    void onLButtonUp(int x, int y) override;

    // The loop on the plots, and its crossover and phase margin in their
    // titles; then, in one warning box, the page's `notes` and what the loop
    // itself says against the crossover asked for (Hz).
    void showLoop(const bode::Response& r, double askedHz, const std::vector<std::string>& notes = {});
    void clearLoop();

protected:
    // The page's pictures.
    virtual void paintPictures(ui::Canvas& c) = 0;
    // Bitmap stretched into group `group` from client point (x, y).
    void stretchInto(ui::Canvas& c, int bitmap, int group, int x, int y) const;
    // Bitmap at its own size at (x, y).
    void drawAt(ui::Canvas& c, int bitmap, int x, int y) const;
    void resultsBlanked() override;

private:
    // Client rectangle of a control, in pixels.
    ui::Rect rectOf(int id) const;

    std::span<const Caption> captions_;
    std::span<const Link> links_;
    int plotted_;
};

// "19.98 kHz" or "120.4 Hz".
std::string frequencyText(double hz);

// What a loop built from the parts found says against the crossover asked
// for (Hz): no crossover, a negative margin, a crossover more than a fifth
// away from the one asked, or gain back above 0 dB beyond the crossover.
std::vector<std::string> loopWarnings(const bode::Response& r, double askedHz);

} // namespace kv::loop
