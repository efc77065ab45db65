// A picked core as a design file keeps it: read back, every value is the one
// written; anything else is refused rather than read as a core.
#include "magnetics/DesignLoss.h"

#include <gtest/gtest.h>

#include <string>

using namespace kv::magnetics;

TEST(PickedCoreText, ReadsBackExactlyWhatWasWritten) {
    // Values as the workbook gives them, and awkward ones (binary fractions that
    // print long, a zero AL where the workbook leaves it blank).
    const TableCore cores[] = {
        tableCore("ETD44", "N87", 173, 278, 3800, 103, 17800),
        tableCore("EFD20", "3C95", 31.0, 43.2, 1200, 47.0, 1460),
        tableCore("U126/91/20", "3C90", 570.1, 3087.3, 0, 330.7, 188573.3),
        tableCore("E 8.8/4.1/2", "PC40", 0.1 + 0.2, 1.0 / 3.0, 0, 17.3, 76.9),
    };
    for (const TableCore& c : cores) {
        const std::string text = tableCoreText(c);
        const std::optional<TableCore> back = readTableCore(text);
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(back->type, c.type);
        EXPECT_EQ(back->material, c.material);
        EXPECT_NEAR(back->ae, c.ae, 1e-11 * c.ae) << text;
        EXPECT_NEAR(back->le, c.le, 1e-11 * c.le) << text;
        EXPECT_NEAR(back->ve, c.ve, 1e-11 * c.ve) << text;
        EXPECT_NEAR(back->aw, c.aw, 1e-11 * c.aw) << text;
        EXPECT_NEAR(back->al, c.al, 1e-11 * c.al) << text;
        EXPECT_EQ(tableCoreText(*back), text); // a second round changes nothing
    }
    // The workbook's units, readable in the file: mm², nH, mm, mm³.
    EXPECT_EQ(tableCoreText(cores[0]), "ETD44; N87; 173; 278; 3800; 103; 17800");
    // Blanks around the parts are what an editor may leave.
    const std::optional<TableCore> spaced = readTableCore("  ETD44 ;N87;173 ; 278;3800;103 ;17800 ");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->type, "ETD44");
    EXPECT_DOUBLE_EQ(spaced->ae, 173e-6);
}

TEST(PickedCoreText, RefusesWhatIsNotACore) {
    for (const char* bad : {"", "ETD44", "ETD44; N87; 173; 278; 3800; 103",
                            "ETD44; N87; 173; 278; 3800; 103; 17800; 1", "; N87; 173; 278; 3800; 103; 17800",
                            "ETD44; ; 173; 278; 3800; 103; 17800", "ETD44; N87; x; 278; 3800; 103; 17800",
                            "ETD44; N87; 173mm; 278; 3800; 103; 17800", "ETD44; N87; 0; 278; 3800; 103; 17800",
                            "ETD44; N87; -173; 278; 3800; 103; 17800", "ETD44; N87; 173; -1; 3800; 103; 17800",
                            "ETD44; N87; 173; 278; -5; 103; 17800", "ETD44; N87; 173; 278; 3800; 0; 17800",
                            "ETD44; N87; 173; 278; 3800; 103; 0", "ETD44; N87; inf; 278; 3800; 103; 17800",
                            "ETD44; N87; nan; 278; 3800; 103; 17800", "ETD44; N87; 1e999; 278; 3800; 103; 17800",
                            "ETD44; N87; ; 278; 3800; 103; 17800"})
        EXPECT_FALSE(readTableCore(bad)) << bad;
}
