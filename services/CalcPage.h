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
    // The page's computation button, its message for a field that is not a
    // number, the input named when the results would not be finite, and the
    // box shown before the results (the progress pause unless told).
    struct Calculation {
        int button;
        const char* incomplete;
        int culprit;
        bool calculatingBox = false;
    };
    CalcPage(int templateId, ui::Dialog* parent, Calculation c) : Dialog(templateId, parent), calc_(c) {}

    // First exchange: the fields go to their controls, the results are blanked.
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;

protected:
    // The results from the inputs, into the bound fields.
    virtual void compute() = 0;
    // After the range checks, before computing: false stops (a page's own checks or notices).
    virtual bool check() { return true; }
    // After the results are written.
    virtual void shown() {}
    // Other commands of the page.
    virtual bool onPageCommand(int /*id*/, ui::Notify /*code*/) { return false; }
    // The whole calculation of the button.
    void calculate();

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
    // The first input outside its range named in a message, the results
    // blanked; false then.
    bool inputsInRange();
    // Results that are not finite: blanked, `culprit` (an input edit) named
    // in a message; false then.
    bool resultsFinite(int culprit);
    // The text of the label before edit `id` in the template.
    std::string labelOf(int id) const;
    // Blanks the results and shows the page's pause box.
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
    std::vector<Field> fields_;
    bool transfer_ = false;
    Calculation calc_;
};

} // namespace kv::services
