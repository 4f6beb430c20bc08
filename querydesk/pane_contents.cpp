// The contents pane (tab 0): a dictionary's table of contents as a tree of its pages (a group's
// dictionaries each under the group's root) and the chosen page's text as rich text.  The page
// links come from the file, so the walk is iterative and takes every page once: a file whose
// links loop or nest without end still gives a finite tree.  The tree draws its items itself
// (custom draw): dotted lines 16 pixels a level, the node's book or page icon, and the page name
// in the font of its dictionary's charset; a click on a node's icon opens or closes it.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <string.h>

#include <set>
#include <utility>
#include <vector>

#include "basekit.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "strandkit.h"
#include "uiassets.h"
#include "widgetry.h"
#include "querydesk_int.h"

namespace {

const int kDefaultSplitter = 180;
const int kRichEditId = 1304;
const DWORD kLastGroupId = 4096;
const BYTE kChapterPage = 10;      // a page byte of 10: a page with pages below it (book images)
const UINT_PTR kTreeSubclass = 1;

// The images of the tree by index: a spare, the closed and the open book, a page.
const UINT kImages[] = {118, UIA_IDI_DIC, UIA_IDI_DIC_NUMBERED, UIA_IDI_TREE_FIRST};
enum { kImageClosed = 1, kImageOpen = 2, kImagePage = 3, kImageCount = 4 };

struct ContentsPane {
    SearchWindow *sw;
    int splitter;
    Splitter drag;
    HWND tree, text;
    // One image list a pane: a list shared by the panes of several search windows would be
    // destroyed under the others by the first window closed.
    HIMAGELIST images;
    HICON icons[kImageCount];      // the list's images as icons, drawn at 13 x 13
    bool clearing;
};

ContentsPane *Of(HWND pane) { return (ContentsPane *)GetWindowLongPtrA(pane, DWLP_USER); }

// Every item deleted, its page item with it (as the tree reports each deletion); no selection
// change is acted on meanwhile, so no page is shown from a tree being taken down.
void Clear(ContentsPane *p)
{
    p->clearing = true;
    TreeView_DeleteAllItems(p->tree);
    p->clearing = false;
}

HTREEITEM Insert(ContentsPane *p, HTREEITEM parent, const char *name, LPARAM page, bool book)
{
    TVINSERTSTRUCTA in = {};
    in.hParent = parent;
    in.hInsertAfter = TVI_LAST;
    in.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    in.item.pszText = (char *)name;
    in.item.lParam = page;
    in.item.iImage = book ? kImageClosed : kImagePage;
    in.item.iSelectedImage = book ? kImageOpen : kImagePage;
    return (HTREEITEM)SendMessageA(p->tree, TVM_INSERTITEMA, 0, (LPARAM)&in);
}

// The pages of the file from page 0: value 2 names the first child, value 1 the next sibling.
void InsertPages(ContentsPane *p, DWORD fileId, HTREEITEM root)
{
    std::set<LONG> seen;
    std::vector<std::pair<LONG, HTREEITEM>> todo = {{0, root}};
    while (!todo.empty()) {
        LONG n = todo.back().first;
        HTREEITEM parent = todo.back().second;
        todo.pop_back();
        while (seen.insert(n).second) {
            VLPageItem *page = Lexicore_GetPageItem(fileId, n);
            if (!page) break;
            HTREEITEM item = Insert(p, parent, page->name ? page->name : "", (LPARAM)page, page->pageByte == kChapterPage);
            if (!item) {
                VLPageItem_Destroy(page);
                break;
            }
            if (page->value2) todo.push_back({(LONG)page->value2, item});
            if (!page->value1) break;
            n = (LONG)page->value1;
        }
    }
}

void ShowPage(ContentsPane *p, const VLPageItem *page);

void Fill(ContentsPane *p, DWORD id, const VLDicGroupInfo *group)
{
    Clear(p);
    ShowPage(p, nullptr);  // no page of the dictionary before
    if (!id) return;
    if (id > kLastGroupId) {
        InsertPages(p, id >> 8, TVI_ROOT);
    } else {
        VLDicGroupInfo info = {};
        if (group) info = *group;
        else Lexshelf_GetGroupInfoById(id, &info);
        HTREEITEM root = Insert(p, TVI_ROOT, info.name, 0, true);
        for (int i = 0; DWORD dic = Lexshelf_GetGroupDic(id, i); i++) InsertPages(p, dic >> 8, root);
    }
    if (HTREEITEM top = TreeView_GetRoot(p->tree)) TreeView_Expand(p->tree, top, TVE_EXPAND);
}

// The page's text in the field; no page (a group's root, an emptied tree) empties the field.
void ShowPage(ContentsPane *p, const VLPageItem *page)
{
    if (!p->text) return;
    if (!page) {
        Widgetry_StreamInRichEdit(p->text, SF_TEXT, "", 0);
        return;
    }
    VLDataItem item;
    memset(&item, 0, sizeof item);
    item.head = page->head;
    VLData data = {};
    if (Lexicore_ReadEntryText(&item, &data) && data.data1) {
        Widgetry_StreamInRichEdit(p->text, SF_RTF, data.data1, (int)data.len1);
    } else {
        Widgetry_StreamInRichEdit(p->text, SF_TEXT, "", 0);
    }
    if (data.data1) VLMem_Free(data.data1);
    if (data.data2) VLMem_Free(data.data2);
    SearchWindow_UpdateTools(p->sw);
}

// ---- Drawing ----------------------------------------------------------------------------------
const int kLevelWidth = 16;        // per level of the tree
const int kStub = 8;               // the line from the level's vertical line to the icon
const int kIconSize = 13;
const int kIconLeft = 2;           // from the item's own area
const int kTextLeft = 15;          // from the icon's left

int Depth(HWND tree, HTREEITEM item)
{
    int depth = 0;
    for (HTREEITEM i = TreeView_GetParent(tree, item); i; i = TreeView_GetParent(tree, i)) depth++;
    return depth;
}

// Where the item's own area (icon and text) begins in the row.
int ItemLeft(int rowLeft, int depth) { return rowLeft + (depth + 1) * kLevelWidth; }

void DottedLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour)
{
    if (x0 == x1)
        for (int y = y0; y < y1; y += 2) SetPixelV(dc, x0, y, colour);
    else
        for (int x = x0; x < x1; x += 2) SetPixelV(dc, x, y0, colour);
}

void DrawLines(HWND tree, HDC dc, HTREEITEM item, int depth, const RECT &row)
{
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    int middle = (row.top + row.bottom) / 2;
    // The ancestors' levels: a line through where the ancestor has a later sibling.
    int level = depth - 1;
    for (HTREEITEM a = TreeView_GetParent(tree, item); a; a = TreeView_GetParent(tree, a), level--)
        if (TreeView_GetNextSibling(tree, a)) {
            int lx = row.left + level * kLevelWidth + kLevelWidth / 2;
            DottedLine(dc, lx, row.top, lx, row.bottom, shadow);
        }
    // The item's own level: down to the middle, or through to a later sibling, and the stub.
    int x = row.left + depth * kLevelWidth + kLevelWidth / 2;
    bool first = depth == 0 && !TreeView_GetPrevSibling(tree, item);  // nothing above the first root
    int bottom = TreeView_GetNextSibling(tree, item) ? row.bottom : middle + 1;
    DottedLine(dc, x, first ? middle : row.top, x, bottom, shadow);
    DottedLine(dc, x, middle, x + kStub, middle, shadow);
}

// One item drawn in full: lines, icon (the open image for an open node) and text, a focus
// rectangle when the tree has the focus on it.
void DrawItem(ContentsPane *p, HDC dc, HTREEITEM handle, const RECT &row)
{
    char name[300] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    item.hItem = handle;
    item.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    item.pszText = name;
    item.cchTextMax = sizeof name;
    if (!TreeView_GetItem(p->tree, &item)) return;
    FillRect(dc, &row, GetSysColorBrush(COLOR_WINDOW));
    int depth = Depth(p->tree, handle);
    DrawLines(p->tree, dc, handle, depth, row);

    bool open = (item.state & TVIS_EXPANDED) && TreeView_GetChild(p->tree, handle);
    int image = open ? item.iSelectedImage : item.iImage;
    HICON icon = image >= 0 && image < kImageCount ? p->icons[image] : nullptr;
    bool selected = (item.state & TVIS_SELECTED) != 0;
    COLORREF ink = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    RECT own = row;
    own.left = ItemLeft(row.left, depth);
    const VLPageItem *page = (const VLPageItem *)item.lParam;
    RECT focus = own;
    if (!page) {
        // A group's root: its name beside the book.
        Basekit_DrawIconTextItem2(dc, &own, icon, name, (int)strlen(name), ink, back);
    } else {
        DicInfo info = {};
        info.size = sizeof info;
        UINT charset = Lexicore_GetDicInfo(page->head.fileId, &info) ? info.charset : 0;
        HFONT font = Strandkit_GetCharsetFont(charset);
        HGDIOBJ old = SelectObject(dc, font ? (HGDIOBJ)font : GetStockObject(DEFAULT_GUI_FONT));
        int length = (int)strlen(name);
        SIZE extent = {};
        Strandkit_GetTextExtentPoint(dc, name, length, &extent, charset);
        int x = own.left + kIconLeft;
        if (icon)
            DrawIconEx(dc, x, (row.top + row.bottom - kIconSize) / 2, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        focus.left = x + kTextLeft - 1;
        focus.right = focus.left + extent.cx + 2;
        if (selected) FillRect(dc, &focus, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        Strandkit_TextOut(dc, x + kTextLeft, (row.top + row.bottom - extent.cy) / 2, name, length, charset);
        SelectObject(dc, old);
    }
    if (GetFocus() == p->tree && TreeView_GetSelection(p->tree) == handle) DrawFocusRect(dc, &focus);
}

LRESULT CustomDraw(ContentsPane *p, NMTVCUSTOMDRAW *cd)
{
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        RECT row = cd->nmcd.rc;
        DrawItem(p, cd->nmcd.hdc, (HTREEITEM)cd->nmcd.dwItemSpec, row);
        return CDRF_SKIPDEFAULT;
    }
    }
    return CDRF_DODEFAULT;
}

// The tree's mouse: a press on a node's icon opens or closes it (nothing else), double clicks do
// nothing.
LRESULT CALLBACK TreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data)
{
    if (message == WM_LBUTTONDBLCLK) return 0;
    if (message == WM_LBUTTONDOWN) {
        TVHITTESTINFO hit = {};
        hit.pt.x = (short)LOWORD(lParam);
        hit.pt.y = (short)HIWORD(lParam);
        HTREEITEM item = TreeView_HitTest(tree, &hit);
        if (item && TreeView_GetChild(tree, item)) {
            int left = ItemLeft(0, Depth(tree, item)) + kIconLeft;
            if (hit.pt.x >= left && hit.pt.x < left + kIconSize) {
                TreeView_Expand(tree, item, TVE_TOGGLE);
                return 0;
            }
        }
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(tree, TreeProc, id);
    (void)data;
    return DefSubclassProc(tree, message, wParam, lParam);
}

void MakeImages(ContentsPane *p)
{
    p->images = ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, kImageCount, 0);
    for (int i = 0; i < kImageCount; i++) {
        HICON large = nullptr, small = nullptr;
        Uiassets_GetIcons(kImages[i], &large, &small);
        if (p->images) ImageList_AddIcon(p->images, small ? small : large);
        if (p->images) p->icons[i] = ImageList_GetIcon(p->images, i, ILD_NORMAL);
    }
    TreeView_SetImageList(p->tree, p->images, TVSIL_NORMAL);
}

void FreeImages(ContentsPane *p)
{
    for (HICON &icon : p->icons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
    if (p->images) ImageList_Destroy(p->images);
    p->images = nullptr;
}

void Layout(ContentsPane *p, HWND pane)
{
    RECT rc;
    GetClientRect(pane, &rc);
    int s = Splitter_Clamp(p->splitter, rc.right);
    SetWindowPos(p->tree, nullptr, 0, 0, s, rc.bottom, SWP_NOZORDER);
    SetWindowPos(GetDlgItem(pane, UIA_IDC_PANE_SPLITTER), nullptr, s + 4, 0, 2, rc.bottom, SWP_NOZORDER);
    if (p->text) SetWindowPos(p->text, nullptr, s + 8, 0, rc.right - s - 8, rc.bottom, SWP_NOZORDER);
}

INT_PTR CALLBACK Proc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    ContentsPane *p = Of(pane);
    if (message == WM_INITDIALOG) {
        p = (ContentsPane *)lParam;
        SetWindowLongPtrA(pane, DWLP_USER, (LONG_PTR)p);
        p->tree = GetDlgItem(pane, UIA_IDC_PANE_TREE);
        SendMessageA(p->tree, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
        TreeView_SetItemHeight(p->tree, 18);
        // The lines and buttons are the pane's own drawing; a press anywhere on a row selects it.
        LONG style = GetWindowLongA(p->tree, GWL_STYLE) & ~(TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS);
        SetWindowLongA(p->tree, GWL_STYLE, style | TVS_FULLROWSELECT);
        TreeView_SetIndent(p->tree, kLevelWidth);
        MakeImages(p);
        SetWindowSubclass(p->tree, TreeProc, kTreeSubclass, 0);
        p->text = Widgetry_CreateRichEdit(pane, 0x50A1094C, 0, 0, 10, 10, kRichEditId, nullptr);
        return FALSE;
    }
    if (!p) return FALSE;
    if (Splitter_Handle(&p->drag, pane, message, wParam, lParam, &p->splitter)) {
        if (message == WM_LBUTTONUP) Layout(p, pane);
        return TRUE;
    }
    switch (message) {
    case WM_SIZE:
        Layout(p, pane);
        return TRUE;
    case WM_NOTIFY: {
        NMHDR *h = (NMHDR *)lParam;
        if (h->hwndFrom == p->tree && h->code == TVN_SELCHANGEDA && !p->clearing)
            ShowPage(p, (const VLPageItem *)((NMTREEVIEWA *)lParam)->itemNew.lParam);
        if (h->hwndFrom == p->tree && h->code == TVN_DELETEITEMA && ((NMTREEVIEWA *)lParam)->itemOld.lParam)
            VLPageItem_Destroy((VLPageItem *)((NMTREEVIEWA *)lParam)->itemOld.lParam);
        if (h->hwndFrom == p->tree && h->code == NM_DBLCLK) return Pane_Answer(pane, 1);
        if (h->hwndFrom == p->tree && h->code == NM_CUSTOMDRAW)
            return Pane_Answer(pane, CustomDraw(p, (NMTVCUSTOMDRAW *)lParam));
        return Pane_Answer(pane, 0);
    }
    case QUERYDESK_SET_CURRENT:
        Fill(p, (DWORD)wParam, (const VLDicGroupInfo *)lParam);
        return Pane_Answer(pane, 1);
    case PANE_SET_SPLITTER:
        p->splitter = (int)wParam;
        Layout(p, pane);
        return TRUE;
    case PANE_GET_SPLITTER:
        return Pane_Answer(pane, p->splitter);
    case WM_DESTROY:
        Clear(p);
        TreeView_SetImageList(p->tree, nullptr, TVSIL_NORMAL);
        FreeImages(p);
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(pane, DWLP_USER, 0);
        delete p;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

HWND ContentsPane_Create(SearchWindow *sw)
{
    ContentsPane *p = new ContentsPane{};
    p->sw = sw;
    p->splitter = kDefaultSplitter;
    HWND pane = CreateDialogParamA(Station_Get()->assets, MAKEINTRESOURCEA(UIA_IDD_PANE_CONTENTS), sw->owner, Proc,
                                   (LPARAM)p);
    if (!pane) delete p;
    return pane;
}
