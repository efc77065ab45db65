// The controller designers of the solutions list: modeless quiet forms.
// A live one (single-stage PFC, MT7930) recomputes on every edit of an input
// and says what is wrong in its status text instead of a message box; the
// others compute on their button. Inputs are read as typed and never
// rewritten; the core pick reads them first.
#pragma once

#include "form/Form.h"

namespace kv::ic {

class LiveDesigner : public form::FormWindow {
public:
    // Modeless: "返回(&B)", Esc and the close box destroy the window.
    void onCancel() override { close(); }
    // Enter runs the computation button only where that button is OK; it never closes the window.
    void onOk() override {}

protected:
    LiveDesigner(int templateId, ui::Dialog* parent) : FormWindow(templateId, parent, form::kQuiet) {}
    // A live designer computes as it opens.
    void opened() override {
        if (live()) run();
    }
};

} // namespace kv::ic
