#include "platform/ui/Template.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <set>

using namespace kv::ui;

TEST(Templates, ShippedFileParsesAndIdsAreUnique) {
    TemplateSet set;
    std::string error;
    std::string text;
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(KV_SOURCE_DIR "/resources"))
        if (e.path().extension() == ".dlg") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) text += kv::test::readFile(f) + "\n";
    ASSERT_TRUE(parseTemplates(text, set, error)) << error;
    EXPECT_EQ(set.dialogs.size(), allTemplates().size());
    for (const auto& d : set.dialogs) {
        std::set<int> ids;
        for (const auto& c : d.controls) {
            if (c.id == -1) continue;
            EXPECT_TRUE(ids.insert(c.id).second) << "dialog " << d.id << " repeats control " << c.id;
            // Every control lies inside its dialog.
            EXPECT_LE(c.x + c.w, d.w) << "dialog " << d.id << " control " << c.id;
            EXPECT_LE(c.y + c.h, d.h) << "dialog " << d.id << " control " << c.id;
        }
    }
}

TEST(Templates, LauncherButtonsSitWhereTheyBelong) {
    const DialogTemplate* t = findTemplate(102);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "KORVANE  V9.7 ");
    EXPECT_EQ(t->w, 291);
    EXPECT_EQ(t->h, 109);
    struct B { int id, x, y; const char* caption; };
    const B expected[] = {{1016, 13, 19, "DC-DC"}, {1015, 83, 19, "反激"},  {1006, 153, 19, "正激"},
                          {1008, 223, 19, "半桥"},  {1187, 13, 51, "LLC"},   {1017, 83, 51, "RCC"},
                          {1002, 153, 51, "推挽"},  {1014, 223, 51, "全桥"}, {57671, 83, 85, "环路补偿"},
                          {1186, 153, 85, "Kit"},   {2, 223, 85, "退出(&Q)"}};
    ASSERT_EQ(t->controls.size(), std::size(expected));
    for (const auto& e : expected) {
        auto it = std::find_if(t->controls.begin(), t->controls.end(),
                               [&](const ControlTemplate& c) { return c.id == e.id; });
        ASSERT_NE(it, t->controls.end()) << e.id;
        EXPECT_EQ(it->x, e.x);
        EXPECT_EQ(it->y, e.y);
        EXPECT_EQ(it->w, 54);
        EXPECT_EQ(it->h, 18);
        EXPECT_EQ(it->caption, e.caption);
    }
    EXPECT_EQ(loadString(101), "关于Korvane(&A)...");
    ASSERT_NE(findBitmap(213), nullptr);
    EXPECT_EQ(findBitmap(213)->width, 319);
    EXPECT_EQ(findBitmap(213)->height, 160);
}

TEST(Templates, BadTextIsRefusedWithItsLine) {
    struct Case { const char* text; const char* error; };
    const Case cases[] = {
        {"DIALOG 1 10 10 \"a\"\n  BUTTON 2 0 0 5 5 \"b\"\n", "line 3: missing END"},
        {"DIALOG 1 10 10 \"a\"\nEND\nEND\n", "line 3: END without DIALOG"},
        {"BUTTON 2 0 0 5 5 \"b\"\n", "line 1: control outside DIALOG"},
        {"DIALOG 1 10 10 \"a\nEND\n", "line 1: unterminated string"},
        {"DIALOG 1 10 10 \"a\" FLOATING\nEND\n", "line 1: unknown style FLOATING"},
        {"DIALOG 1 10 x \"a\"\nEND\n", "line 1: DIALOG id width height \"caption\" [styles]"},
        {"DIALOG 1 10 10 \"a\"\nEND\nDIALOG 1 10 10 \"b\"\nEND\n", "line 3: duplicate dialog 1"},
        {"WIDGET 1\n", "line 1: unknown word WIDGET"},
    };
    for (const auto& c : cases) {
        TemplateSet set;
        std::string error;
        EXPECT_FALSE(parseTemplates(c.text, set, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(Templates, EscapesAndStyles) {
    TemplateSet set;
    std::string error;
    ASSERT_TRUE(parseTemplates("# comment\nDIALOG 7 100 50 \"t\" CAPTION SYSMENU\n"
                               "  STATIC -1 1 2 3 4 \"say \\\"hi\\\"\\nnext\" CENTER\n"
                               "  RADIO 5 1 2 3 4 \"r\" GROUPSTART DISABLED\nEND\n",
                               set, error))
        << error;
    const auto& d = set.dialogs.at(0);
    EXPECT_EQ(d.style, unsigned(StyleCaption | StyleSysMenu));
    EXPECT_EQ(d.controls[0].caption, "say \"hi\"\nnext");
    EXPECT_EQ(d.controls[1].kind, Kind::Radio);
    EXPECT_EQ(d.controls[1].style, unsigned(StyleGroupStart | StyleDisabled));
}

TEST(Templates, DialogUnitsToPixels) {
    // 1.5 px across and 1.625 px down per dialog unit
    EXPECT_EQ(dluToPxX(291), 436);
    EXPECT_EQ(dluToPxY(109), 177);
    EXPECT_EQ(dluToPxX(54), 81);
    EXPECT_EQ(dluToPxY(16), 26);
}

// A group's caption (its top 10 dialog units across the group, a line of text) is crossed by no border of
// another group of the dialog.
TEST(Templates, NoGroupBorderCrossesACaption) {
    for (const DialogTemplate& d : allTemplates())
        for (const ControlTemplate& a : d.controls) {
            if (a.kind != Kind::Group || a.caption.empty() || (a.style & StyleBorder)) continue;
            const int left = a.x, right = a.x + a.w, top = a.y, bottom = a.y + 10;
            for (const ControlTemplate& b : d.controls) {
                if (&b == &a || b.kind != Kind::Group) continue;
                const bool acrossX = b.x < right && b.x + b.w > left;
                for (int edge : {b.y, b.y + b.h})
                    EXPECT_FALSE(acrossX && edge > top && edge <= bottom)
                        << "dialog " << d.id << ": a border of group " << b.id << " \"" << b.caption
                        << "\" runs through the caption \"" << a.caption << "\"";
                const bool acrossY = b.y < bottom && b.y + b.h > top;
                for (int edge : {b.x, b.x + b.w})
                    EXPECT_FALSE(acrossY && edge > left && edge < right)
                        << "dialog " << d.id << ": a side of group " << b.id << " \"" << b.caption
                        << "\" runs through the caption \"" << a.caption << "\"";
            }
        }
}
