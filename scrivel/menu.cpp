// The context menu of an editor window: entries pruned by the window's menu mask, marks from
// the typing attribute, and the commands.
#include "scrivel_int.h"
#include <commdlg.h>
#include "scrivel_menu.h"

namespace {

struct Keep {
    int position;
    int count;
    DWORD mask;
};
// Highest position first, so that removing an entry leaves the lower positions as they were.
const Keep kKeep[] = {{14, 2, 0x400}, {13, 1, 0x200}, {12, 1, 0x100}, {11, 1, 0x80}, {10, 1, 0x40},
                      {8, 2, 0x800},  {7, 1, 0x3C0},  {6, 1, 0x20},   {5, 1, 0x10},  {4, 1, 0x08},
                      {3, 1, 0x04},   {2, 1, 0x02},   {0, 2, 0x01}};

const int kSizeCommands[5] = {CMD_SIZE_SMALLEST, CMD_SIZE_SMALL, CMD_SIZE_NORMAL, CMD_SIZE_LARGE,
                              CMD_SIZE_LARGEST};
const struct {
    UINT command;
    int charset;
} kLanguages[] = {{CMD_LANG_ANSI, 0}, {CMD_LANG_JAPANESE, 128}, {CMD_LANG_SCHINESE, 134},
                  {CMD_LANG_TCHINESE, 136}, {CMD_LANG_KOREAN, 129}};

void Enable(HMENU m, UINT id, bool on) { EnableMenuItem(m, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); }
void Check(HMENU m, UINT id, bool on) { CheckMenuItem(m, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); }

void Mark(ScrivelWindow *w, HMENU m) {
    EditorDocument *doc = w->doc;
    bool ro = (w->style & SCRIVEL_WS_READONLY) != 0;
    Enable(m, CMD_UNDO, w->undo.present && !ro);
    Enable(m, CMD_CUT, w->sel.present && !ro);
    Enable(m, CMD_COPY, w->sel.present != 0);
    Enable(m, CMD_PASTE, ScrivelClip_CanPaste(w) && !ro);
    Enable(m, CMD_DELETE, w->sel.present && !ro);
    Enable(m, CMD_SELECTALL, doc && doc->lineCount > 0);
    int step = ro && doc ? doc->sizeBase : ScrivelAttr_Step(&w->typing);
    CheckMenuRadioItem(m, CMD_SIZE_SMALLEST, CMD_SIZE_LARGEST, kSizeCommands[step - 1], MF_BYCOMMAND);
    BYTE s = w->typing.style;
    Check(m, CMD_BOLD, s & SCRIVEL_STYLE_BOLD);
    Check(m, CMD_ITALIC, s & SCRIVEL_STYLE_ITALIC);
    Check(m, CMD_UNDERLINE, s & SCRIVEL_STYLE_UNDERLINE);
    Check(m, CMD_SUBSCRIPT, s & SCRIVEL_STYLE_SUB);
    Check(m, CMD_SUPERSCRIPT, s & SCRIVEL_STYLE_SUPER);
    Check(m, CMD_ROMAN, !(s & SCRIVEL_STYLE_SANS));
    Check(m, CMD_SWISS, s & SCRIVEL_STYLE_SANS);
    for (const auto &l : kLanguages) Check(m, l.command, w->typing.charset == l.charset);
    int depth = doc ? doc->outlineDepth : 9;
    UINT layer = depth >= 0 && depth <= 5 ? CMD_LAYER_CLOSE + depth : CMD_LAYER_OPEN;
    CheckMenuRadioItem(m, CMD_LAYER_CLOSE, CMD_LAYER_OPEN, layer, MF_BYCOMMAND);
    Check(m, CMD_WORDWRAP, doc && doc->wrap);
}

void ApplyFormat(ScrivelWindow *w, const TextAttribute *a) {
    SendMessageA(w->hwnd, SCM_SETATTRIBUTE, 0, reinterpret_cast<LPARAM>(a));
    ScrivelWin_Notify(w, 0, &w->typing);
}

}  // namespace

HMENU ScrivelMenu_Build(ScrivelWindow *w) {
    HMENU bar = LoadMenuA(g_scrivelInstance, MAKEINTRESOURCEA(IDM_SCRIVEL_CONTEXT));
    if (!bar) return nullptr;
    HMENU popup = GetSubMenu(bar, 0);
    RemoveMenu(bar, 0, MF_BYPOSITION);  // the popup now stands alone
    DestroyMenu(bar);
    if (!popup) return nullptr;
    Mark(w, popup);
    for (const Keep &k : kKeep)
        if (!(w->menuMask & k.mask))
            for (int i = k.count - 1; i >= 0; --i) DeleteMenu(popup, k.position + i, MF_BYPOSITION);
    return popup;
}

void ScrivelMenu_Show(ScrivelWindow *w, int x, int y) {
    HMENU m = ScrivelMenu_Build(w);
    if (!m) return;
    if (GetMenuItemCount(m) > 0) {
        UINT cmd = TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, w->hwnd, nullptr);
        if (cmd) ScrivelMenu_Command(w, cmd);
    }
    DestroyMenu(m);
}

void ScrivelMenu_Command(ScrivelWindow *w, UINT id) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc) return;
    bool ro = (w->style & SCRIVEL_WS_READONLY) != 0;
    HWND h = w->hwnd;
    TextAttribute a = w->typing;
    switch (id) {
    case CMD_UNDO: SendMessageA(h, SCM_UNDO, 0, 0); return;
    case CMD_CUT: SendMessageA(h, SCM_CUT, 0, 0); return;
    case CMD_COPY: SendMessageA(h, SCM_COPY, 0, 0); return;
    case CMD_PASTE: SendMessageA(h, SCM_PASTE, 0, 0); return;
    case CMD_DELETE: SendMessageA(h, SCM_CLEAR, 0, 0); return;
    case CMD_SELECTALL: SendMessageA(h, SCM_SELECTALL, 0, 0); return;
    case CMD_PRINT: SendMessageA(h, SCM_PRINT, 0, 0); return;
    case CMD_WORDWRAP: SendMessageA(h, SCM_SETWRAP, 0, doc->wrap ? 0 : 1); return;
    case CMD_BOLD: a.style ^= SCRIVEL_STYLE_BOLD; break;
    case CMD_ITALIC: a.style ^= SCRIVEL_STYLE_ITALIC; break;
    case CMD_UNDERLINE: a.style ^= SCRIVEL_STYLE_UNDERLINE; break;
    case CMD_SUBSCRIPT:
        a.style = static_cast<BYTE>((a.style ^ SCRIVEL_STYLE_SUB) & ~SCRIVEL_STYLE_SUPER);
        break;
    case CMD_SUPERSCRIPT:
        a.style = static_cast<BYTE>((a.style ^ SCRIVEL_STYLE_SUPER) & ~SCRIVEL_STYLE_SUB);
        break;
    case CMD_ROMAN: a.style &= ~SCRIVEL_STYLE_SANS; break;
    case CMD_SWISS: a.style |= SCRIVEL_STYLE_SANS; break;
    case CMD_COLOR: {
        CHOOSECOLORA cc = {};
        cc.lStructSize = sizeof(cc);
        cc.hwndOwner = h;
        cc.rgbResult = a.colour;
        cc.lpCustColors = w->custom;
        cc.Flags = CC_FULLOPEN | CC_RGBINIT;
        if (!ChooseColorA(&cc)) return;
        a.colour = cc.rgbResult;
        break;
    }
    default:
        if (id >= CMD_SIZE_SMALLEST && id <= CMD_SIZE_LARGEST) {
            int step = static_cast<int>(id - CMD_SIZE_SMALLEST) + 1;
            if (ro) {
                ScrivelPos keep[4] = {w->caret, w->sel.start, w->sel.end, w->sel.anchor};
                ScrivelDoc_SetSizeBase(doc, step, keep, 4);
                w->caret = keep[0];
                w->sel.start = keep[1];
                w->sel.end = keep[2];
                w->sel.anchor = keep[3];
                ScrivelWin_UpdateScrollBars(w);
                ScrivelCaret_Place(w);
                ScrivelWin_Repaint(w);
                return;
            }
            a.sizeStep = static_cast<BYTE>(step);
            break;
        }
        if (id >= CMD_LAYER_CLOSE && id <= CMD_LAYER_OPEN) {
            int depth = id == CMD_LAYER_OPEN ? 10 : static_cast<int>(id - CMD_LAYER_CLOSE);
            SendMessageA(h, SCM_SETOUTLINEDEPTH, 0, depth);
            return;
        }
        for (const auto &l : kLanguages)
            if (l.command == id) {
                a.charset = static_cast<BYTE>(l.charset);
                a.language = ScrivelLang_FromCharset(l.charset);
                ApplyFormat(w, &a);
            }
        return;
    }
    ApplyFormat(w, &a);
}
