// The language sheet: a modal property sheet over one language's record of the language manager,
// five search pages (one per group of request kinds) and the fonts page.  On OK the fields whose
// controls changed are written over the record as the manager holds it then.
#include "prefpane_int.h"
#include "prefpane.h"

#include <stdio.h>
#include <string.h>

#include "basekit.h"
#include "linguakeeper.h"
#include "sharedkit.h"
#include "uiassets.h"

namespace {

const UINT kHelpCommand = 5601;
const DWORD kHelpTopic = 10101;
const int kSearchPages = 5;
const int kWords = 13;
const int kMaxFields = kSearchPages * kWords + 3;
// The sheet's fonts page asks its own record to be stored with this PSM_QUERYSIBLINGS wParam.
const WPARAM kStoreFonts = 2;

enum PageKind { kFullPage, kShortPage, kFontsPage };

struct LangSheet {
    LinguakeeperLangRecord record;    // as loaded
    LinguakeeperLangRecord pending;   // the user's values of the changed fields
    PpField changed[kMaxFields];
    int changedCount;
};

struct LangPage {
    LangSheet *sheet;
    PageKind kind;
    int entry;        // search entry (pop-up 0, then kinds 5, 4, 6, 7)
    int onValue;      // word 0 of radio 1092
    int templateId;
    PpField fields[kWords];
    int fieldCount;
    LinguakeeperLangRecord baseline;
};

const int kModeStrings[5] = {2111, 2107, 2108, 2109, 2110};

DWORD *Word(LinguakeeperLangRecord *r, int entry, int word) { return &r->search[entry].word[word]; }

// ---- Search pages ----------------------------------------------------------------------------

struct RadioValue {
    int control;
    DWORD value;
};

void SetRadios(HWND page, const RadioValue *radios, int count, DWORD value)
{
    for (int i = 0; i < count; ++i) Pp_SetCheck(page, radios[i].control, radios[i].value == value);
}

void ReadRadios(HWND page, const RadioValue *radios, int count, DWORD *value)
{
    for (int i = 0; i < count; ++i)
        if (Pp_GetCheck(page, radios[i].control) == 1) *value = radios[i].value;
}

const int kWordEdits[3][2] = {{UIA_IDC_LG_BEFORE, UIA_IDC_LG_BEFORE_SPIN},
                              {UIA_IDC_LG_AFTER, UIA_IDC_LG_AFTER_SPIN},
                              {UIA_IDC_LG_PHRASE, UIA_IDC_LG_PHRASE_SPIN}};
const int kWordChecks[4] = {UIA_IDC_LG_CASE, UIA_IDC_LG_ACCENTS, UIA_IDC_LG_HYPHEN, UIA_IDC_LG_SIMILAR};

void FillSearch(HWND page, LangPage *lp, LinguakeeperLangRecord *r)
{
    int e = lp->entry;
    if (lp->kind == kFullPage) {
        const RadioValue use[4] = {{UIA_IDC_LG_OFF, 0}, {UIA_IDC_LG_ON, (DWORD)lp->onValue},
                                   {UIA_IDC_LG_ON2, 2}, {UIA_IDC_LG_ON3, 3}};
        SetRadios(page, use, 4, *Word(r, e, 0));
        const RadioValue forms[3] = {{UIA_IDC_LG_FORMS0, 0}, {UIA_IDC_LG_FORMS16, 16}, {UIA_IDC_LG_FORMS32, 32}};
        SetRadios(page, forms, 3, *Word(r, e, 2));
        for (int i = 0; i < 3; ++i) Pp_SetNumber(page, kWordEdits[i][0], kWordEdits[i][1], (int)*Word(r, e, 3 + i), 0, 10);
        Pp_SetNumber(page, UIA_IDC_LG_MAX, UIA_IDC_LG_MAX_SPIN, (int)*Word(r, e, 6), 0, 20);
        DWORD both = *Word(r, e, 7), cursor = *Word(r, e, 8);
        Pp_SetCheck(page, UIA_IDC_LG_BOTH, both == 1 && cursor == 1);
        Pp_SetCheck(page, UIA_IDC_LG_WORDS, both == 1 && cursor == 0);
        Pp_SetCheck(page, UIA_IDC_LG_PHRASES, both == 0 && cursor == 1);
        for (int i = 0; i < 4; ++i) Pp_SetCheck(page, kWordChecks[i], *Word(r, e, 9 + i) != 0);
    } else {
        const RadioValue use[2] = {{UIA_IDC_LG_OFF, 0}, {UIA_IDC_LG_ON, (DWORD)lp->onValue}};
        SetRadios(page, use, 2, *Word(r, e, 0));
        Pp_SetNumber(page, UIA_IDC_LG_MAX, UIA_IDC_LG_MAX_SPIN, (int)*Word(r, e, 5), 0, 20);
        if (r->doubleByte) {   // a multi-byte language is always looked up this way
            Pp_Enable(page, UIA_IDC_LG_OFF, 0);
            Pp_Enable(page, UIA_IDC_LG_ON, 0);
        }
    }
    DWORD mode = *Word(r, e, 1);
    Pp_FillComboStrings(page, UIA_IDC_LG_MODE, kModeStrings, 5, mode <= 4 ? (int)mode : -1);
}

void ReadSearch(HWND page, LangPage *lp, LinguakeeperLangRecord *r)
{
    int e = lp->entry;
    if (lp->kind == kFullPage) {
        const RadioValue use[4] = {{UIA_IDC_LG_OFF, 0}, {UIA_IDC_LG_ON, (DWORD)lp->onValue},
                                   {UIA_IDC_LG_ON2, 2}, {UIA_IDC_LG_ON3, 3}};
        ReadRadios(page, use, 4, Word(r, e, 0));
        const RadioValue forms[3] = {{UIA_IDC_LG_FORMS0, 0}, {UIA_IDC_LG_FORMS16, 16}, {UIA_IDC_LG_FORMS32, 32}};
        ReadRadios(page, forms, 3, Word(r, e, 2));
        for (int i = 0; i < 3; ++i)
            *Word(r, e, 3 + i) = (DWORD)Pp_GetNumber(page, kWordEdits[i][0], (int)*Word(r, e, 3 + i));
        *Word(r, e, 6) = (DWORD)Pp_GetNumber(page, UIA_IDC_LG_MAX, (int)*Word(r, e, 6));
        if (Pp_GetCheck(page, UIA_IDC_LG_BOTH) == 1) *Word(r, e, 7) = 1, *Word(r, e, 8) = 1;
        else if (Pp_GetCheck(page, UIA_IDC_LG_WORDS) == 1) *Word(r, e, 7) = 1, *Word(r, e, 8) = 0;
        else if (Pp_GetCheck(page, UIA_IDC_LG_PHRASES) == 1) *Word(r, e, 7) = 0, *Word(r, e, 8) = 1;
        for (int i = 0; i < 4; ++i)
            if (Pp_GetCheck(page, kWordChecks[i]) >= 0) *Word(r, e, 9 + i) = Pp_GetCheck(page, kWordChecks[i]);
    } else {
        const RadioValue use[2] = {{UIA_IDC_LG_OFF, 0}, {UIA_IDC_LG_ON, (DWORD)lp->onValue}};
        ReadRadios(page, use, 2, Word(r, e, 0));
        *Word(r, e, 5) = (DWORD)Pp_GetNumber(page, UIA_IDC_LG_MAX, (int)*Word(r, e, 5));
    }
    int mode = Pp_GetComboIndex(page, UIA_IDC_LG_MODE);
    if (mode >= 0) *Word(r, e, 1) = (DWORD)mode;
}

// ---- Fonts page ---------------------------------------------------------------------------------

void FillFonts(HWND page, LinguakeeperLangRecord *r)
{
    if (HWND box = GetDlgItem(page, UIA_IDC_LG_HEAD_FONT)) Basekit_FillFontList(box, r->face1, r->charset, 0);
    if (HWND box = GetDlgItem(page, UIA_IDC_LG_TEXT_FONT)) Basekit_FillFontList(box, r->face2, r->charset, 0);
    Pp_SetButtonColour(page, UIA_IDC_LG_COLOR, r->color);
}

void ReadFace(HWND page, int id, char *face, size_t cap)
{
    HWND box = GetDlgItem(page, id);
    int at = box ? (int)SendMessageA(box, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (at == CB_ERR || SendMessageA(box, CB_GETLBTEXTLEN, at, 0) >= (LRESULT)cap) return;
    char name[LF_FACESIZE + 1] = "";
    SendMessageA(box, CB_GETLBTEXT, at, (LPARAM)name);
    Pp_CopyText(face, cap, name);
}

void ReadFonts(HWND page, LinguakeeperLangRecord *r)
{
    ReadFace(page, UIA_IDC_LG_HEAD_FONT, r->face1, sizeof r->face1);
    ReadFace(page, UIA_IDC_LG_TEXT_FONT, r->face2, sizeof r->face2);
    if (GetDlgItem(page, UIA_IDC_LG_COLOR)) r->color = Pp_GetButtonColour(page, UIA_IDC_LG_COLOR);
}

// ---- Page plumbing ------------------------------------------------------------------------------

void Fill(HWND page, LangPage *lp, LinguakeeperLangRecord *r)
{
    if (lp->kind == kFontsPage) FillFonts(page, r);
    else FillSearch(page, lp, r);
}

void Read(HWND page, LangPage *lp, LinguakeeperLangRecord *r)
{
    if (lp->kind == kFontsPage) ReadFonts(page, r);
    else ReadSearch(page, lp, r);
}

void SetFields(LangPage *lp)
{
    const size_t search = offsetof(LinguakeeperLangRecord, search);
    lp->fieldCount = 0;
    if (lp->kind == kFontsPage) {
        lp->fields[lp->fieldCount++] = PP_FIELD(LinguakeeperLangRecord, face1);
        lp->fields[lp->fieldCount++] = PP_FIELD(LinguakeeperLangRecord, face2);
        lp->fields[lp->fieldCount++] = PP_FIELD(LinguakeeperLangRecord, color);
        return;
    }
    const int shortWords[3] = {0, 1, 5};
    int count = lp->kind == kFullPage ? kWords : 3;
    for (int i = 0; i < count; ++i) {
        int word = lp->kind == kFullPage ? i : shortWords[i];
        lp->fields[lp->fieldCount++] = {(unsigned short)(search + sizeof(LinguakeeperSearchEntry) * lp->entry + 4 * word), 4};
    }
}

LinguakeeperLangRecord *EditedCopy(HWND page, LangPage *lp)
{
    LinguakeeperLangRecord *edited = (LinguakeeperLangRecord *)LocalAlloc(LMEM_FIXED, sizeof *edited);
    if (!edited) return nullptr;
    *edited = lp->sheet->record;
    Read(page, lp, edited);
    return edited;
}

int HasChanges(HWND page, LangPage *lp)
{
    LinguakeeperLangRecord *edited = EditedCopy(page, lp);
    int changed = edited && Pp_CountChanges(lp->fields, lp->fieldCount, &lp->baseline, edited) != 0;
    if (edited) LocalFree(edited);
    return changed;
}

// Notes the page's changed fields and their values in the sheet (written back after OK).
void Store(HWND page, LangPage *lp)
{
    LinguakeeperLangRecord *edited = EditedCopy(page, lp);
    if (!edited) return;
    LangSheet *sheet = lp->sheet;
    for (int i = 0; i < lp->fieldCount; ++i) {
        const PpField &f = lp->fields[i];
        if (Pp_CountChanges(&f, 1, &lp->baseline, edited) == 0) continue;
        memcpy((char *)&sheet->pending + f.offset, (const char *)edited + f.offset, f.size);
        int known = 0;
        for (int j = 0; j < sheet->changedCount; ++j) known |= sheet->changed[j].offset == f.offset;
        if (!known && sheet->changedCount < kMaxFields) sheet->changed[sheet->changedCount++] = f;
    }
    LocalFree(edited);
}

BOOL Answer(HWND page, LONG_PTR result)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK LangPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        LangPage *lp = (LangPage *)((const PROPSHEETPAGEA *)lParam)->lParam;
        SetWindowLongPtrA(page, GWLP_USERDATA, (LONG_PTR)lp);
        Fill(page, lp, &lp->sheet->record);
        lp->baseline = lp->sheet->record;
        Read(page, lp, &lp->baseline);
        return TRUE;
    }
    LangPage *lp = (LangPage *)GetWindowLongPtrA(page, GWLP_USERDATA);
    if (!lp) return FALSE;
    switch (msg) {
    case WM_NOTIFY: {
        const NMHDR *h = (const NMHDR *)lParam;
        if (h->hwndFrom != GetParent(page)) return FALSE;
        if (h->code == PSN_APPLY) {
            if (lp->kind == kFontsPage) SendMessageA(page, PSM_QUERYSIBLINGS, kStoreFonts, 0);
            else Store(page, lp);
            return Answer(page, PSNRET_NOERROR);
        }
        if (h->code == PSN_HELP) {
            Sharedkit_ShowHelp(page, kHelpCommand, kHelpTopic, nullptr);
            return TRUE;
        }
        if (h->code == PSN_QUERYCANCEL) return Answer(page, Pp_QueryCancel(page));
        return FALSE;
    }
    case PSM_QUERYSIBLINGS:
        // The fonts page answers every query, so Cancel always asks once it was shown.
        if (lp->kind == kFontsPage) {
            if (wParam == kStoreFonts) Store(page, lp);
            return Answer(page, 1);
        }
        return wParam == 1 ? Answer(page, HasChanges(page, lp)) : FALSE;
    case WM_DRAWITEM:
        return Pp_DrawColourButton((const DRAWITEMSTRUCT *)lParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == UIA_IDC_LG_COLOR && HIWORD(wParam) == BN_CLICKED) {
            Pp_PickButtonColour(page, UIA_IDC_LG_COLOR);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

HICON g_sheetIcon;   // the language's icon for the sheet being made (modal: one at a time)

int CALLBACK LangSheetCallback(HWND sheet, UINT msg, LPARAM lParam)
{
    if (msg == PSCB_PRECREATE && lParam) {
        Pp_ClearContextHelp((void *)lParam);
    } else if (msg == PSCB_INITIALIZED && g_sheetIcon) {
        SendMessageA(sheet, WM_SETICON, ICON_SMALL, (LPARAM)g_sheetIcon);
        SendMessageA(sheet, WM_SETICON, ICON_BIG, (LPARAM)g_sheetIcon);
    }
    return 0;
}

}  // namespace

extern "C" INT_PTR WINAPI Prefpane_ShowLanguageOptions(HWND owner, DWORD language)
{
    LangSheet *sheet = (LangSheet *)LocalAlloc(LPTR, sizeof(LangSheet));
    LangPage *pages = (LangPage *)LocalAlloc(LPTR, sizeof(LangPage) * (kSearchPages + 1));
    INT_PTR result = -1;
    if (!sheet || !pages) goto done;
    Pp_InitControls();
    sheet->record.size = sizeof sheet->record;
    if (!Linguakeeper_GetLangInfo(language & 0xFFFF, &sheet->record)) goto done;
    sheet->pending = sheet->record;
    {
        // Pop-up kinds 1 to 3, then the kinds 5, 4, 6 and 7, then the fonts.
        const PageKind kinds[kSearchPages + 1] = {kFullPage, kShortPage, kShortPage, kShortPage, kFullPage, kFontsPage};
        const int templates[kSearchPages + 1] = {UIA_IDD_OPT_LANG_POPUP, UIA_IDD_OPT_LANG_SEARCH,
                                                 UIA_IDD_OPT_LANG_SEARCH, UIA_IDD_OPT_LANG_SEARCH,
                                                 UIA_IDD_OPT_LANG_CLIPBOARD, UIA_IDD_OPT_LANG_FONTS};
        const int onValues[kSearchPages + 1] = {1, 5, 4, 6, 7, 0};
        PROPSHEETPAGEA psp[kSearchPages + 1] = {};
        for (int i = 0; i <= kSearchPages; ++i) {
            LangPage &lp = pages[i];
            lp.sheet = sheet;
            lp.kind = kinds[i];
            lp.entry = i < kSearchPages ? i : 0;
            lp.onValue = onValues[i];
            lp.templateId = templates[i];
            SetFields(&lp);
            psp[i].dwSize = sizeof psp[i];
            psp[i].dwFlags = PSP_USETITLE | PSP_HASHELP;
            psp[i].hInstance = Pp_Resources();
            psp[i].pszTemplate = MAKEINTRESOURCEA(templates[i]);
            psp[i].pszTitle = MAKEINTRESOURCEA(i < kSearchPages ? UIA_IDS_PAGE_LANG_FIRST + i
                                                                : UIA_IDS_PAGE_LANG_FONTS);
            psp[i].pfnDlgProc = LangPageProc;
            psp[i].lParam = (LPARAM)&lp;
        }
        char caption[256] = "";
        Uiassets_FormatString(caption, sizeof caption, UIA_IDS_LANG_CAPTION, sheet->record.displayName);
        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_HASHELP | PSH_USECALLBACK;
        header.hwndParent = owner;
        header.hInstance = Pp_Resources();
        header.pszCaption = caption;
        header.nPages = kSearchPages + 1;
        header.ppsp = psp;
        header.pfnCallback = LangSheetCallback;
        g_sheetIcon = Linguakeeper_GetLangIcon(language & 0xFFFF, nullptr, 0);
        result = PropertySheetA(&header);
        g_sheetIcon = nullptr;
    }
    if (result > 0 && sheet->changedCount > 0) {
        // Over the record as the manager holds it now.
        LinguakeeperLangRecord *now = (LinguakeeperLangRecord *)LocalAlloc(LPTR, sizeof *now);
        if (now) {
            now->size = sizeof *now;
            if (Linguakeeper_GetLangInfo(language & 0xFFFF, now)) {
                for (int i = 0; i < sheet->changedCount; ++i) {
                    const PpField &f = sheet->changed[i];
                    memcpy((char *)now + f.offset, (const char *)&sheet->pending + f.offset, f.size);
                }
                Linguakeeper_SetLangInfo(255, now);
                Sharedkit_SendToMain(PREFPANE_VLM_OPTIONS_CHANGED, 0, 0);
            }
            LocalFree(now);
        }
    }
done:
    if (sheet) LocalFree(sheet);
    if (pages) LocalFree(pages);
    return result;
}
