// Captures in real standard controls and in a window that draws its own text, at points computed
// from the controls' own geometry: the text of the line, the character under the point, the font
// and the line's box.
#include "capture_fixture.h"

using namespace hostlink_test;

namespace {

TEST_F(CaptureTest, MultiLineEditGivesTheLineUnderThePoint) {
    const char text[] = "first line\r\nsecond word here\r\nthird";
    HWND edit = Child("EDIT", text, ES_MULTILINE, 10, 10, 400, 120);
    int index = 12 + 8;  // the 'o' of "word" on the second line
    POINT pt = EditCharMiddle(edit, index, false);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "second word here", 8);
}

TEST_F(CaptureTest, RichEditGivesTheLineUnderThePoint) {
    HWND rich = Child("RichEdit20A", "", ES_MULTILINE, 10, 10, 400, 120);
    ASSERT_TRUE(rich);
    SetWindowTextA(rich, "first line\rsecond word here\rthird");
    int index = 11 + 8;  // the 'o' of "word"; paragraphs end in one character
    POINT pt = EditCharMiddle(rich, index, true);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "second word here", 8);
}

TEST_F(CaptureTest, ListBoxGivesTheItemUnderThePoint) {
    HWND list = Child("LISTBOX", "", WS_BORDER, 10, 10, 300, 200);
    for (const char *item : {"apple", "banana split", "cherry"})
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item);
    RECT r;
    SendMessageA(list, LB_GETITEMRECT, 1, (LPARAM)&r);
    const char *item = "banana split";
    int x = r.left + 1 + Width(item, 8) + Width(item + 8, 1) / 2;  // the 'p' of "split"
    POINT pt = ToScreen(list, x, (r.top + r.bottom) / 2);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "banana split", 8);
    EXPECT_EQ(rec.controlKind, (uint32_t)CAPTURE_KIND_LIST);
}

TEST_F(CaptureTest, StaticGivesItsWrappedLine) {
    HWND label = Child("STATIC", "static &known word", SS_LEFT, 10, 200, 400, 60);
    const char *text = "static known word";
    int x = Width(text, 9) + Width(text + 9, 1) / 2;  // the 'o' of "known"
    POINT pt = ToScreen(label, x, LineHeight() / 2);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "static known word", 9);
}

TEST_F(CaptureTest, JapaneseTextCountsCharactersNotBytes) {
    HFONT gothic = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                               "MS Gothic");
    // Shift-JIS "nihongo" (three characters), a space, then "abc".
    const char text[] = "\x93\xfa\x96\x7b\x8c\xea abc";
    HWND edit = Child("EDIT", text, 0, 10, 10, 400, 30);
    SendMessageA(edit, WM_SETFONT, (WPARAM)gothic, TRUE);
    POINT pt = EditCharMiddle(edit, 1, false);  // the second character, "hon"
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_STREQ(rec.text, text);
    EXPECT_EQ(rec.length, 7u);
    EXPECT_EQ(rec.wordPos, 1);
    EXPECT_EQ(rec.charset, SHIFTJIS_CHARSET);
    EXPECT_STREQ(rec.font.lfFaceName, "MS Gothic");
    DestroyWindow(edit);
    DeleteObject(gothic);
}

TEST_F(CaptureTest, WindowDrawingItsOwnTextGivesTheDrawnRow) {
    HWND panel = CreateWindowExA(0, "SelfDrawnPanel", "panel title", WS_CHILD | WS_VISIBLE, 10, 10,
                                 500, 120, g_host, nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(panel);
    POINT pt = CharPoint(panel, kDrawnFirst, 5, 7, 5 + LineHeight() / 2);  // the 'y' of "by"
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "drawn by itself tail piece", 7);

    // A row drawn through the text-box call.
    HDC dc = GetDC(panel);
    HGDIOBJ old = SelectObject(dc, g_font);
    SIZE size;
    GetTextExtentPoint32A(dc, "anoth", 5, &size);
    SelectObject(dc, old);
    ReleaseDC(panel, dc);
    POINT below = ToScreen(panel, 5 + size.cx + 2, 60 + LineHeight() / 2);
    CaptureRecord second = Request(below);
    ASSERT_EQ(Hostlink_Capture(&second), 1);
    EXPECT_STREQ(second.text, "another row");
    EXPECT_EQ(second.wordPos, 5);
}

TEST_F(CaptureTest, ButtonsGiveTheirLabel) {
    const char *push = "press this button";
    HWND button = Child("BUTTON", push, BS_PUSHBUTTON, 10, 10, 300, 40);
    int left = (300 - Width(push, (int)strlen(push))) / 2;
    ExpectWord(button, CharPoint(button, push, left, 8, 20), push, 6, 10);

    const char *check = "check this option";
    HWND box = Child("BUTTON", check, BS_AUTOCHECKBOX, 10, 100, 300, 30);
    int boxLeft = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    ExpectWord(box, CharPoint(box, check, boxLeft, 13, 15), check, 11, 17);
}

TEST_F(CaptureTest, DropDownListComboGivesItsSelection) {
    HWND combo = Child("COMBOBOX", "", CBS_DROPDOWNLIST, 10, 10, 300, 200);
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)"chosen entry text");
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    COMBOBOXINFO info = {sizeof(info)};
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const char *text = "chosen entry text";
    int y = (info.rcItem.top + info.rcItem.bottom) / 2;
    ExpectWord(combo, CharPoint(combo, text, info.rcItem.left + 1, 9, y), text, 7, 12);
}

TEST_F(CaptureTest, ListViewGivesTheItemOrSubItemUnderThePoint) {
    HWND view = Child(WC_LISTVIEWA, "", LVS_REPORT, 10, 10, 500, 200);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 200;
    col.pszText = (char *)"name";
    SendMessageA(view, LVM_INSERTCOLUMNA, 0, (LPARAM)&col);
    col.pszText = (char *)"meaning";
    SendMessageA(view, LVM_INSERTCOLUMNA, 1, (LPARAM)&col);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = (char *)"first item";
    SendMessageA(view, LVM_INSERTITEMA, 0, (LPARAM)&item);
    item.iItem = 1;
    item.pszText = (char *)"second item";
    SendMessageA(view, LVM_INSERTITEMA, 0, (LPARAM)&item);
    item.iSubItem = 1;
    item.pszText = (char *)"the sub item text";
    SendMessageA(view, LVM_SETITEMTEXTA, 1, (LPARAM)&item);

    RECT r = {LVIR_LABEL, 0, 0, 0};
    SendMessageA(view, LVM_GETITEMRECT, 1, (LPARAM)&r);
    const char *name = "second item";
    int y = (r.top + r.bottom) / 2;
    ExpectWord(view, CharPoint(view, name, r.left + 2, 8, y), name, 7, 11);

    RECT s = {LVIR_LABEL, 1, 0, 0};
    SendMessageA(view, LVM_GETSUBITEMRECT, 1, (LPARAM)&s);
    const char *sub = "the sub item text";
    ExpectWord(view, CharPoint(view, sub, s.left + 2, 9, y), sub, 8, 12);
}

TEST_F(CaptureTest, TreeViewGivesTheItemUnderThePoint) {
    HWND tree = Child(WC_TREEVIEWA, "", TVS_HASLINES, 10, 10, 300, 200);
    TVINSERTSTRUCTA ins = {};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = (char *)"root node";
    SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    ins.item.pszText = (char *)"another tree entry";
    HTREEITEM second = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    RECT r;
    memcpy(&r, &second, sizeof(second));
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&r));
    const char *text = "another tree entry";
    ExpectWord(tree, CharPoint(tree, text, r.left + 2, 10, (r.top + r.bottom) / 2), text, 8, 12);
}

TEST_F(CaptureTest, HeaderAndTabGiveTheItemUnderThePoint) {
    HWND header = Child(WC_HEADERA, "", HDS_HORZ, 10, 10, 400, 30);
    HDITEMA hd = {};
    hd.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    hd.cxy = 250;
    hd.fmt = HDF_LEFT | HDF_STRING;
    hd.pszText = (char *)"column heading";
    SendMessageA(header, HDM_INSERTITEMA, 0, (LPARAM)&hd);
    RECT h;
    SendMessageA(header, HDM_GETITEMRECT, 0, (LPARAM)&h);
    const char *heading = "column heading";
    ExpectWord(header, CharPoint(header, heading, h.left + 3 * GetSystemMetrics(SM_CXEDGE), 10,
                                 (h.top + h.bottom) / 2),
               heading, 7, 14);

    HWND tab = Child(WC_TABCONTROLA, "", 0, 10, 100, 400, 100);
    TCITEMA tc = {};
    tc.mask = TCIF_TEXT;
    tc.pszText = (char *)"first page";
    SendMessageA(tab, TCM_INSERTITEMA, 0, (LPARAM)&tc);
    tc.pszText = (char *)"settings tab";
    SendMessageA(tab, TCM_INSERTITEMA, 1, (LPARAM)&tc);
    RECT t;
    SendMessageA(tab, TCM_GETITEMRECT, 1, (LPARAM)&t);
    const char *label = "settings tab";
    int left = (t.left + t.right - Width(label, (int)strlen(label))) / 2;
    ExpectWord(tab, CharPoint(tab, label, left, 3, (t.top + t.bottom) / 2), label, 0, 8);
}

TEST_F(CaptureTest, StatusBarIsReadThroughItsDrawing) {
    HWND status = Child(STATUSCLASSNAMEA, "ready for input", 0, 0, 0, 0, 0);
    SendMessageA(status, WM_SIZE, 0, 0);
    RECT part;
    SendMessageA(status, SB_GETRECT, 0, (LPARAM)&part);
    const char *text = "ready for input";
    // The part's text starts a few pixels in; aim at the middle of "for".
    POINT pt = CharPoint(status, text, part.left + 4, 7, (part.top + part.bottom) / 2);
    ExpectWord(status, pt, text, 6, 9);
}

}  // namespace
