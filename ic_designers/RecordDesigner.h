// The controller designers that compute on a button press over a design
// record (LLC, QR, OB2269): modeless forms whose calculations run on a trial
// copy of the record, each over the group of fields it reads and writes.
#pragma once

#include "form/Form.h"

namespace kv::ic {

template <class D>
class RecordDesigner : public form::FormWindow {
public:
    D design;

    // Modeless: Cancel, Esc and the close box destroy the window.
    void onCancel() override { close(); }

protected:
    RecordDesigner(int templateId, ui::Dialog* parent) : FormWindow(templateId, parent, form::kRecord) {}

    // The pure calculation `calc` over a trial copy of the design.
    std::function<form::Outcome()> onDesign(form::Outcome (*calc)(D&)) {
        return [this, calc] { return form::onTrial(design, calc); };
    }
};

} // namespace kv::ic
