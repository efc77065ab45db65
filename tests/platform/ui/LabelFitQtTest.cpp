// One-line labels of every window are wide enough for their text in the dialog font.
#include "platform/ui/Template.h"
#include "platform/ui/qt/QtBackend.h"
#include "tests/common/QtApp.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace kv::ui;

TEST(LabelFit, OneLineLabelsHoldTheirText) {
    kv::test::qtApp();
    const QFontMetrics fm(fontFor("", 90));
    int checked = 0;
    for (const DialogTemplate& d : allTemplates())
        for (const ControlTemplate& c : d.controls) {
            // A label taller than two lines wraps: only one-line labels are measured.
            if (c.kind != Kind::Static || c.caption.empty() || dluToPxY(c.h) >= 2 * fm.height()) continue;
            ++checked;
            EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(c.caption)), dluToPxX(c.w))
                << "dialog " << d.id << " control " << c.id << " \"" << c.caption << "\"";
        }
    EXPECT_GT(checked, 100);
}
