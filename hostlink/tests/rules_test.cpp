// The class-rule table and the control kinds as tables of window classes.  The table code is
// compiled into this program so that its decisions can be read without a display.
#include <gtest/gtest.h>
#include <string>
#include "../rules.cpp"

HostlinkProcess g_hostlink;

namespace {

struct RuleCase {
    const char *cls;
    int rule;  // 0 never capture, 2 special capture, 1 any other
};

TEST(ClassRules, StartingTableDecidesByClassWithoutCase) {
    Hostlink_RulesReset();
    EXPECT_EQ(Hostlink_RulesCount(), 45);
    const RuleCase cases[] = {
        {"TrayClockWClass", 0}, {"trayclockwclass", 0}, {"MDIClient", 0}, {"Afx:8", 0},
        {"VELOVIEW", 0},        {"EDIT", 2},            {"Edit", 2},      {"RichEdit20W", 2},
        {"TRichView", 2},       {"OneNote::CJotSurfaceWnd", 2},           {"SysListView32", 2},
        {"Static", 1},          {"ListBox", 1},         {"Afx:80", 1},    {"", 1},
        {"AfxControlBar4", 1},
    };
    for (const RuleCase &c : cases) EXPECT_EQ(Hostlink_RuleForClass(c.cls), c.rule) << c.cls;
}

TEST(ClassRules, AddedRowsCountUpToTheTableSizeThenFail) {
    Hostlink_RulesReset();
    EXPECT_EQ(Hostlink_AddClassRule(2, "MyNoCapture"), 46);
    EXPECT_EQ(Hostlink_RuleForClass("mynocapture"), 0);
    EXPECT_EQ(Hostlink_AddClassRule(0, "EndsTheTable"), 0);  // would hide later rows
    EXPECT_EQ(Hostlink_AddClassRule(1, nullptr), 0);
    EXPECT_EQ(Hostlink_RulesCount(), 46);

    std::string longName(100, 'x');
    EXPECT_EQ(Hostlink_AddClassRule(1, longName.c_str()), 47);
    EXPECT_EQ(Hostlink_RuleForClass(std::string(63, 'x').c_str()), 2);
    EXPECT_EQ(Hostlink_RuleForClass(longName.c_str()), 1);

    int last = 0;
    for (int i = 47; i < 256; i++) last = Hostlink_AddClassRule(2, "Filler");
    EXPECT_EQ(last, 256);
    EXPECT_EQ(Hostlink_AddClassRule(2, "OneTooMany"), 0);
    EXPECT_EQ(Hostlink_RulesCount(), 256);
    EXPECT_EQ(Hostlink_RuleForClass("OneTooMany"), 1);
}

struct KindCase {
    const char *cls;
    LRESULT hit;
    uint32_t kind;
};

TEST(ControlKinds, ClassFirstThenHitTest) {
    const KindCase cases[] = {
        {"Button", HTCLIENT, CAPTURE_KIND_BUTTON},
        {"SysTabControl32", HTCAPTION, CAPTURE_KIND_BUTTON},  // the class wins over the hit test
        {"SysHeader32", HTCLIENT, CAPTURE_KIND_BUTTON},
        {"listbox", HTCLIENT, CAPTURE_KIND_LIST},
        {"SysTreeView32", HTCLIENT, CAPTURE_KIND_LIST},
        {"ComboLBox", HTCLIENT, CAPTURE_KIND_LIST},
        {"#32770", HTCAPTION, CAPTURE_KIND_DIALOG},
        {"#32768", HTCLIENT, CAPTURE_KIND_MENU},
        {"ToolBarWindow32", HTCLIENT, CAPTURE_KIND_MENU},
        {"SomeFrame", HTMENU, CAPTURE_KIND_MENU},
        {"SomeFrame", HTSYSMENU, CAPTURE_KIND_MENU},
        {"CAPTION", HTCLIENT, CAPTURE_KIND_CAPTION},
        {"SomeFrame", HTCAPTION, CAPTURE_KIND_CAPTION},
        {"SomeFrame", HTCLIENT, CAPTURE_KIND_OTHER},
        {"Edit", HTCLIENT, CAPTURE_KIND_OTHER},
    };
    for (const KindCase &c : cases)
        EXPECT_EQ(Hostlink_KindForClass(c.cls, c.hit), c.kind) << c.cls << " " << c.hit;
}

}  // namespace
