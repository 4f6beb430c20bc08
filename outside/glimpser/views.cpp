// Readers for the common controls whose items live in the control's own process: list views,
// tree views, headers and tabs.  Their messages carry pointers, so the structures and text
// buffers are placed in that process's memory.
#include <string.h>
#include "glimpser_int.h"
#include <commctrl.h>

namespace {

enum { kTextAt = 1024, kTextChars = 1024, kBlock = kTextAt + kTextChars * 2 };

std::wstring ReadText(RemoteBlock *rb) {
    std::wstring text(kTextChars, L'\0');
    if (!Remote_Read(rb, kTextAt, &text[0], kTextChars * sizeof(wchar_t))) return std::wstring();
    text[kTextChars - 1] = 0;
    text.resize(wcslen(text.c_str()));
    return text;
}

void ClearText(RemoteBlock *rb) {
    wchar_t zero = 0;
    Remote_Write(rb, kTextAt, &zero, sizeof(zero));
}

// Sends msg to the control with *data placed at offset at of the block as its lParam, and reads
// the answer back into *data.
template <class T>
void Exchange(RemoteBlock *rb, SIZE_T at, HWND w, UINT msg, WPARAM wParam, T *data) {
    Remote_Write(rb, at, data, sizeof(*data));
    Remote_Send(rb, w, msg, wParam, (LPARAM)(rb->base + at));
    Remote_Read(rb, at, data, sizeof(*data));
}

// The text of an item: the item structure goes in at 256 with its text pointed at the block's
// text area, and comes back with the control's answer.
template <class T>
std::wstring ItemText(RemoteBlock *rb, HWND w, UINT msg, WPARAM wParam, T *item) {
    item->pszText = (LPWSTR)(rb->base + kTextAt);
    item->cchTextMax = kTextChars;
    ClearText(rb);
    Exchange(rb, 256, w, msg, wParam, item);
    return ReadText(rb);
}

// The text sits in rect with the given alignment (0 left with a margin, 1 centred, 2 right).
void PlaceText(GlimpseLine *line, const std::wstring &text, const RECT &box, int align,
               int margin) {
    int width = Glimpse_TextWidth(&line->font, text);
    int height = Glimpse_LineHeight(&line->font);
    int left = box.left + margin;
    if (align == 1) left = (box.left + box.right - width) / 2;
    if (align == 2) left = box.right - margin - width;
    int top = (box.top + box.bottom - height) / 2;
    line->text = text;
    line->rect = RECT{left, top, left + width, top + height};
    line->textLeft = left;
    line->hit = -1;
    line->found = !text.empty();
}

}  // namespace

void Glimpse_ReadListView(HWND w, POINT pt, GlimpseLine *line) {
    RemoteBlock rb;
    if (!Remote_Open(&rb, w, kBlock)) return;
    LVHITTESTINFO hit = {};
    hit.pt = pt;
    hit.iItem = -1;
    Exchange(&rb, 0, w, LVM_SUBITEMHITTEST, 0, &hit);
    if (hit.iItem >= 0 && (hit.flags & (LVHT_ONITEMLABEL | LVHT_ONITEM))) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = hit.iItem;
        item.iSubItem = hit.iSubItem;
        std::wstring text = ItemText(&rb, w, LVM_GETITEMTEXTW, hit.iItem, &item);
        RECT box = {LVIR_LABEL, hit.iSubItem, 0, 0};
        Exchange(&rb, 512, w, hit.iSubItem ? LVM_GETSUBITEMRECT : LVM_GETITEMRECT, hit.iItem,
                 &box);
        Glimpse_WindowFont(w, &line->font);
        LONG view = GetWindowLongA(w, GWL_STYLE) & LVS_TYPEMASK;
        PlaceText(line, text, box, view == LVS_ICON ? 1 : 0, 2);
    }
    Remote_Close(&rb);
}

void Glimpse_ReadTreeView(HWND w, POINT pt, GlimpseLine *line) {
    RemoteBlock rb;
    if (!Remote_Open(&rb, w, kBlock)) return;
    TVHITTESTINFO hit = {};
    hit.pt = pt;
    Exchange(&rb, 0, w, TVM_HITTEST, 0, &hit);
    if (hit.hItem && (hit.flags & TVHT_ONITEMLABEL)) {
        TVITEMW item = {};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = hit.hItem;
        std::wstring text = ItemText(&rb, w, TVM_GETITEMW, 0, &item);
        RECT box = {};
        HTREEITEM which = hit.hItem;  // the item goes in where the rectangle comes back
        memcpy(&box, &which, sizeof(which));
        Exchange(&rb, 512, w, TVM_GETITEMRECT, TRUE, &box);
        Glimpse_WindowFont(w, &line->font);
        PlaceText(line, text, box, 0, 2);
    }
    Remote_Close(&rb);
}

void Glimpse_ReadHeader(HWND w, POINT pt, GlimpseLine *line) {
    RemoteBlock rb;
    if (!Remote_Open(&rb, w, kBlock)) return;
    HDHITTESTINFO hit = {};
    hit.pt = pt;
    hit.iItem = -1;
    Exchange(&rb, 0, w, HDM_HITTEST, 0, &hit);
    if (hit.iItem >= 0 && (hit.flags & HHT_ONHEADER)) {
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_FORMAT;
        std::wstring text = ItemText(&rb, w, HDM_GETITEMW, hit.iItem, &item);
        RECT box = {};
        Exchange(&rb, 512, w, HDM_GETITEMRECT, hit.iItem, &box);
        Glimpse_WindowFont(w, &line->font);
        int align = (item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? 1
                    : (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? 2 : 0;
        PlaceText(line, text, box, align, 3 * GetSystemMetrics(SM_CXEDGE));
    }
    Remote_Close(&rb);
}

void Glimpse_ReadTab(HWND w, POINT pt, GlimpseLine *line) {
    RemoteBlock rb;
    if (!Remote_Open(&rb, w, kBlock)) return;
    TCHITTESTINFO hit = {};
    hit.pt = pt;
    Remote_Write(&rb, 0, &hit, sizeof(hit));
    int index = (int)Remote_Send(&rb, w, TCM_HITTEST, 0, (LPARAM)rb.base);
    if (index >= 0) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        std::wstring text = ItemText(&rb, w, TCM_GETITEMW, index, &item);
        RECT box = {};
        Exchange(&rb, 512, w, TCM_GETITEMRECT, index, &box);
        Glimpse_WindowFont(w, &line->font);
        PlaceText(line, text, box, 1, 0);
    }
    Remote_Close(&rb);
}
