// How the data list draws its rows, checked by relations rather than pixels: tree marks beside
// grouped rows and none beside plain rows, texts where their rows begin and in their match class's
// colour, the dictionary's colour box, rows painted in order on the screen.  A picture of a filled
// list is kept in the working folder (datalist.bmp) for a person to look at.
#include <gtest/gtest.h>

#include "listkit.h"
#include "support/testkit_gdi.h"

using namespace listkit;

namespace {

const DWORD kColumns = VLDLS_HEADWORD | VLDLS_DICTIONARY | VLDLS_DATE;

// A COLORREF as the canvas holds it (0x00RRGGBB).
uint32_t Pixel(COLORREF c)
{
    return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
}

class DataDrawTest : public ::testing::Test {
protected:
    static Catalogue catalogue;
    static HWND parent;
    HWND list = nullptr;

    static void SetUpTestSuite()
    {
        ASSERT_TRUE(catalogue.Start("datadraw"));
        parent = MakeParent(720, 360);
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(parent);
        catalogue.Stop();
    }
    void TearDown() override
    {
        if (list) DestroyWindow(list);
    }
    void Make(DWORD style)
    {
        RECT rc;
        GetClientRect(parent, &rc);
        list = Widgetry_CreateDataList(0, WS_CHILD | WS_VISIBLE | style, 0, 0, rc.right, rc.bottom, 0, 1252, parent, 100);
        ASSERT_NE(nullptr, list);
    }
    int ColumnWidth(int column) { return (int)SendMessageA(View(list), LVM_GETCOLUMNWIDTH, column, 0); }

    // Draws one shown row into the canvas as the list view would ask for it.
    void DrawRow(TestkitCanvas &canvas, int row, UINT state = 0)
    {
        canvas.Clear(0x123456);
        LVITEMA lv = {};
        lv.mask = LVIF_PARAM;
        lv.iItem = row;
        SendMessageA(View(list), LVM_GETITEMA, 0, (LPARAM)&lv);
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_LISTVIEW;
        draw.CtlID = 1;
        draw.itemID = row;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hwndItem = View(list);
        draw.hDC = canvas.dc;
        draw.rcItem = {0, 0, canvas.width, canvas.height};
        draw.itemData = lv.lParam;
        SendMessageA(list, WM_DRAWITEM, 1, (LPARAM)&draw);
    }
};

Catalogue DataDrawTest::catalogue;
HWND DataDrawTest::parent;

// Columns [from, to) of the canvas that hold a pixel of the colour; -1 when none.
int FirstColumnOf(TestkitCanvas &c, uint32_t colour, int from, int to)
{
    for (int x = from; x < to; x++)
        for (int y = 0; y < c.height; y++)
            if (c.At(x, y) == colour) return x;
    return -1;
}

bool AnyOtherThan(TestkitCanvas &c, uint32_t colour, int from, int to)
{
    for (int x = from; x < to; x++)
        for (int y = 0; y < c.height; y++)
            if (c.At(x, y) != colour) return true;
    return false;
}

TEST_F(DataDrawTest, RowsCarryTreeMarksTextsAndColours)
{
    Make(kColumns);
    std::vector<ItemSpec> items = TwoDictionaries();
    items.push_back({kDriver, 1, 0, 0, "translated"});
    Fill(list, items);
    // Kinds of the shown rows (all open): E10 main, E11 sub, E12 sub, J11 plain, J10 main,
    // J12 sub, E20 plain, J30 plain, the driver's entry plain.
    const char *kinds = "OSSPOSPPP";
    RECT first = RowRect(list, 0);
    int height = first.bottom - first.top;
    ASSERT_GT(height, 8);
    int headword = ColumnWidth(0), dictionary = ColumnWidth(1);
    TestkitCanvas canvas(headword + dictionary + ColumnWidth(2), height);
    uint32_t background = Pixel(GetSysColor(COLOR_WINDOW));
    int middle = height / 2;

    for (int row = 0; row < ShownRows(list); row++) {
        SCOPED_TRACE(row);
        DrawRow(canvas, row);
        const ItemSpec &spec = items[RowItems(list)[row]];
        char kind = kinds[row];
        // Nothing of the canvas is left unpainted: the row fills its whole rectangle.
        EXPECT_EQ(-1, FirstColumnOf(canvas, 0x123456, 0, canvas.width));
        if (kind == 'O') {
            EXPECT_TRUE(AnyOtherThan(canvas, background, 0, 16));   // the open-group icon
        } else if (kind == 'S') {
            for (int x = 8; x <= 28; x += 2) EXPECT_NE(background, canvas.At(x, middle)) << x;
            EXPECT_EQ(background, canvas.At(9, middle));             // dots, not a line
        } else {
            EXPECT_FALSE(AnyOtherThan(canvas, background, 0, 18));   // no marks beside a plain row
        }
        // The text in its class's colour, where the row's text begins (sub-entries further right);
        // the driver dictionary's entry shows no headword.
        uint32_t colour = Pixel(Widgetry_ScoreClassColour(&kColours, spec.score));
        int text = FirstColumnOf(canvas, colour, 0, headword);
        if (spec.fileId == kDriver) {
            EXPECT_EQ(-1, text);
        } else {
            ASSERT_GE(text, 0);
            EXPECT_GE(text, kind == 'S' ? 30 : 20);
            EXPECT_LT(text, kind == 'S' ? 40 : 30);
        }
        // The dictionary's colour box in the dictionary column, and a date in the row's colour.
        if (spec.fileId != kDriver) {
            COLORREF box = spec.fileId == kEnglish ? kEnglishColour : kJapaneseColour;
            int at = FirstColumnOf(canvas, Pixel(box), headword, headword + dictionary);
            EXPECT_GE(at, headword + 2);
            EXPECT_LE(at, headword + 6);
            EXPECT_GE(FirstColumnOf(canvas, colour, headword + dictionary, canvas.width), 0);
        }
    }

    // A selected row: the selection colour from 18 pixels on, the background before it; the text
    // keeps the selection's text colour.
    DrawRow(canvas, 3, ODS_SELECTED);
    EXPECT_EQ(background, canvas.At(10, middle));
    EXPECT_EQ(Pixel(GetSysColor(COLOR_HIGHLIGHT)), canvas.At(18, 0));
    EXPECT_EQ(-1, FirstColumnOf(canvas, Pixel(kColours.Average), 0, headword));
}

TEST_F(DataDrawTest, FoldedGroupsShowTheirIconAndNoLine)
{
    Make(kColumns | VLDLS_FOLDED);
    Fill(list, TwoDictionaries());
    RECT first = RowRect(list, 0);
    int height = first.bottom - first.top;
    TestkitCanvas canvas(ColumnWidth(0), height);
    uint32_t background = Pixel(GetSysColor(COLOR_WINDOW));
    DrawRow(canvas, 0);   // E10, folded
    EXPECT_TRUE(AnyOtherThan(canvas, background, 0, 16));
    EXPECT_EQ(background, canvas.At(8, height - 1));   // no line down to hidden sub-entries
    Click(list, 0, 8);    // opened: a dotted line runs down from the icon
    DrawRow(canvas, 0);
    int dots = 0;
    for (int y = height / 2 + 4; y < height; y++) dots += canvas.At(8, y) != background;
    EXPECT_GT(dots, 0);
}

TEST_F(DataDrawTest, ScreenShowsTheRowsInOrder)
{
    Make(kColumns | VLDLS_FOLDED);
    std::vector<ItemSpec> items = TwoDictionaries();
    Fill(list, items);
    Click(list, 2, 8);   // open the Japanese group, keep the English one folded
    SendMessageA(list, VLDLM_SELECTROW, 3, 0);
    // A double click on a divider of the header gives that column its natural width: the
    // dictionary and date columns start at 75 pixels, too narrow for their texts.
    HWND header = (HWND)SendMessageA(View(list), LVM_GETHEADER, 0, 0);
    for (int column = 1; column <= 2; column++) {
        RECT rc = {};
        SendMessageA(header, HDM_GETITEMRECT, column, (LPARAM)&rc);
        int before = ColumnWidth(column);
        SendMessageA(header, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(rc.right - 1, (rc.top + rc.bottom) / 2));
        SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(rc.right - 1, (rc.top + rc.bottom) / 2));
        EXPECT_GT(ColumnWidth(column), before) << column;
    }
    SetFocus(list);
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Testkit_Pump();
    ASSERT_TRUE(Testkit_SaveWindowPicture(parent, "datalist.bmp"));

    // Each row's band on the screen holds its own item's class colour (the selected row holds the
    // selection's colours instead), and the bands follow each other downwards.
    HWND view = View(list);
    RECT client;
    GetClientRect(view, &client);
    TestkitCanvas screen(client.right, client.bottom);
    HDC dc = GetDC(view);
    BitBlt(screen.dc, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(view, dc);
    std::vector<int> shown = RowItems(list);
    ASSERT_EQ((std::vector<int>{0, 3, 4, 5, 6, 7}), shown);
    int lastTop = -1;
    for (int row = 0; row < (int)shown.size(); row++) {
        RECT rc = RowRect(list, row);
        EXPECT_GT(rc.top, lastTop);
        lastTop = rc.top;
        if (row == 3) continue;
        uint32_t colour = Pixel(Widgetry_ScoreClassColour(&kColours, items[shown[row]].score));
        bool found = false;
        for (int y = rc.top; y < rc.bottom && !found; y++)
            for (int x = 20; x < ColumnWidth(0) && !found; x++) found = screen.At(x, y) == colour;
        EXPECT_TRUE(found) << row;
    }
}

}  // namespace
