// The contents pane (tab 0): a dictionary's table of contents as a tree of its pages (a group's
// dictionaries each under the group's root) and the chosen page's text as rich text.  The page
// links come from the file, so the walk is iterative and takes every page once: a file whose
// links loop or nest without end still gives a finite tree.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <string.h>

#include <set>
#include <utility>
#include <vector>

#include "lexicore.h"
#include "lexshelf.h"
#include "uiassets.h"
#include "widgetry.h"
#include "querydesk_int.h"

namespace {

const int kDefaultSplitter = 180;
const int kRichEditId = 1304;
const DWORD kLastGroupId = 4096;

struct ContentsPane {
    SearchWindow *sw;
    int splitter;
    Splitter drag;
    HWND tree, text;
};

ContentsPane *Of(HWND pane) { return (ContentsPane *)GetWindowLongPtrA(pane, DWLP_USER); }

void Clear(ContentsPane *p)
{
    std::vector<HTREEITEM> stack;
    for (HTREEITEM i = TreeView_GetRoot(p->tree); i; i = TreeView_GetNextSibling(p->tree, i)) stack.push_back(i);
    while (!stack.empty()) {
        HTREEITEM i = stack.back();
        stack.pop_back();
        TVITEMA item = {};
        item.mask = TVIF_PARAM;
        item.hItem = i;
        if (TreeView_GetItem(p->tree, &item) && item.lParam) VLPageItem_Destroy((VLPageItem *)item.lParam);
        for (HTREEITEM c = TreeView_GetChild(p->tree, i); c; c = TreeView_GetNextSibling(p->tree, c)) stack.push_back(c);
    }
    TreeView_DeleteAllItems(p->tree);
}

HTREEITEM Insert(ContentsPane *p, HTREEITEM parent, const char *name, LPARAM page)
{
    TVINSERTSTRUCTA in = {};
    in.hParent = parent;
    in.hInsertAfter = TVI_LAST;
    in.item.mask = TVIF_TEXT | TVIF_PARAM;
    in.item.pszText = (char *)name;
    in.item.lParam = page;
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
            HTREEITEM item = Insert(p, parent, page->name ? page->name : "", (LPARAM)page);
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

void Fill(ContentsPane *p, DWORD id, const VLDicGroupInfo *group)
{
    Clear(p);
    if (!id) return;
    if (id > kLastGroupId) {
        InsertPages(p, id >> 8, TVI_ROOT);
    } else {
        VLDicGroupInfo info = {};
        if (group) info = *group;
        else Lexshelf_GetGroupInfoById(id, &info);
        HTREEITEM root = Insert(p, TVI_ROOT, info.name, 0);
        for (int i = 0; DWORD dic = Lexshelf_GetGroupDic(id, i); i++) InsertPages(p, dic >> 8, root);
    }
    if (HTREEITEM top = TreeView_GetRoot(p->tree)) TreeView_Expand(p->tree, top, TVE_EXPAND);
}

void ShowPage(ContentsPane *p, const VLPageItem *page)
{
    if (!page || !p->text) return;
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
        SetWindowLongA(p->tree, GWL_STYLE, GetWindowLongA(p->tree, GWL_STYLE) | TVS_HASLINES | TVS_LINESATROOT);
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
        if (h->hwndFrom == p->tree && h->code == TVN_SELCHANGEDA)
            ShowPage(p, (const VLPageItem *)((NMTREEVIEWA *)lParam)->itemNew.lParam);
        if (h->hwndFrom == p->tree && h->code == NM_DBLCLK) return Pane_Answer(pane, 1);
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
