// Common frame of the toolbox calculator pages: number fields bound to edit
// controls, exchanged only while the transfer flag is set, and the compute
// sequence "0" into the results, read, blank, progress pause, write back.
#pragma once

#include "platform/ui/Dialog.h"

#include <string_view>
#include <vector>

namespace kv::toolbox {

class CalcPage : public ui::Dialog {
public:
    CalcPage(int templateId, ui::Dialog* parent) : Dialog(templateId, parent) {}

    // First exchange: the fields go to their controls, the results are blanked.
    void onInitDialog() override;

protected:
    void bind(int id, float& v, bool result = false);
    void bind(int id, double& v, bool result = false);

    // One exchange of every bound field in binding order, only while the
    // transfer flag is set; the flag is cleared afterwards. A read stops at
    // the first control that is not a number, after the framework's message.
    bool exchange(bool save);
    void setTransfer() { transfer_ = true; }

    void setResults(std::string_view text);
    // "0" into the results and read every field. On failure the results are
    // blanked and `message` is shown.
    bool readFields(const char* message);
    // Blanks the results and shows the progress pause.
    void pause();
    // Writes every field to its control.
    void writeFields();

private:
    struct Field {
        int id;
        float* f;
        double* d;
        bool result;
    };
    std::vector<Field> fields_;
    bool transfer_ = false;
};

} // namespace kv::toolbox
