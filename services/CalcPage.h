// The shared frame of the calculator pages (toolbox, loop sheet): number
// fields bound to edit controls, exchanged only while the transfer flag is
// set, and the whole calculation of the page's button: "0" into the results,
// read, range checks, the page's pure computation, finite check, progress
// pause, write back.
#pragma once

#include "platform/ui/Dialog.h"
#include "services/InputRange.h"

#include <string>
#include <string_view>
#include <vector>

namespace kv::services {

class CalcPage : public ui::Dialog {
public:
    // A computation button, its message for a field that is not a number,
    // the input named when the results would not be finite, and the box shown
    // before the results (the progress pause unless told). A page with
    // several buttons names for each the results it computes (every result
    // when none are named), the blank results it reads as 0 and blanks again
    // afterwards, and the results it blanks after writing.
    struct Calculation {
        int button;
        const char* incomplete;
        int culprit;
        bool calculatingBox = false;
        std::vector<int> results = {};
        std::vector<int> standIns = {};
        std::vector<int> blankAfter = {};
    };
    CalcPage(int templateId, ui::Dialog* parent, Calculation c)
        : CalcPage(templateId, parent, std::vector<Calculation>{std::move(c)}) {}
    CalcPage(int templateId, ui::Dialog* parent, std::vector<Calculation> calcs)
        : Dialog(templateId, parent), calcs_(std::move(calcs)) {}

    // First exchange: the fields go to their controls, the results are blanked.
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;

protected:
    // The results from the inputs, into the bound fields.
    virtual void compute() = 0;
    // After the range checks, before computing: false stops (a page's own
    // checks or notices). Here and in compute() a page may refuse().
    virtual bool check() { return true; }
    // After the results are written.
    virtual void shown() {}
    // Other commands of the page.
    virtual bool onPageCommand(int /*id*/, ui::Notify /*code*/) { return false; }
    // Whether the running calculation takes input `id`: only those are range-checked.
    virtual bool uses(int /*id*/) const { return true; }
    // After results were blanked.
    virtual void resultsBlanked() {}
    // The whole calculation of a button; without one, of the page's first.
    void calculate(const Calculation& c);
    void calculate() { calculate(calcs_.front()); }
    // The button whose calculation runs, 0 outside one.
    int running() const { return running_ ? running_->button : 0; }

    // An input with what its formula needs of it, or a result.
    void bind(int id, float& v, services::Range range = services::Range::Any);
    void bind(int id, double& v, services::Range range = services::Range::Any);
    void bindResult(int id, float& v);
    void bindResult(int id, double& v);

    // One exchange of every bound field in binding order, only while the
    // transfer flag is set; the flag is cleared afterwards. A read stops at
    // the first control that is not a number, after the framework's message.
    bool exchange(bool save);
    void setTransfer() { transfer_ = true; }

    void setResults(std::string_view text);
    // "0" into the results and read every field. On failure the results are
    // blanked and `message` is shown.
    bool readFields(const char* message);
    // Blanks the results of the running calculation (and its stand-ins) and
    // shows `message`; false.
    bool refuse(std::string_view message);
    // Blanks these controls.
    void blank(const std::vector<int>& ids);
    // The first input outside its range named in a message, the results
    // blanked; false then.
    bool inputsInRange();
    // Results (or inputs the computation writes back) that are not finite:
    // the results blanked, `culprit` (an input edit) named in a message;
    // false then.
    bool resultsFinite(int culprit);
    // The text the label before edit `id` in the template shows.
    std::string labelOf(int id) const;
    // Blanks the results and shows the pause box of the running calculation.
    void pause();
    // Writes every field to its control.
    void writeFields();

private:
    struct Field {
        int id;
        float* f;
        double* d;
        bool result;
        services::Range range;
    };
    // The results of `c`: those it names, else every one.
    std::vector<int> resultsOf(const Calculation& c) const;

    std::vector<Field> fields_;
    bool transfer_ = false;
    std::vector<Calculation> calcs_;
    const Calculation* running_ = nullptr;
    std::vector<int> blankStandIns_;
    bool refused_ = false;
};

} // namespace kv::services
