// The candidate-list page (template 204) over CandidateListOptions: the colours of the match
// grades and the sort order; beside it the pop-up window's ClickShowList, which lives in
// PopupWindowOptions.
#include "prefpane_int.h"

#include <string.h>

#include "uiassets.h"

namespace {

// The page's record: the candidate-list options and the one pop-up option it shows.
struct CandidatePageRecord {
    CandidateListOptions list;
    int clickShowList;
};

const PpField kFields[] = {
    PP_FIELD(CandidatePageRecord, list.SortByLength), PP_FIELD(CandidatePageRecord, list.Perfect),
    PP_FIELD(CandidatePageRecord, list.Good),         PP_FIELD(CandidatePageRecord, list.Average),
    PP_FIELD(CandidatePageRecord, list.Bad),          PP_FIELD(CandidatePageRecord, clickShowList),
};

const int kColourButtons[4] = {UIA_IDC_CL_PERFECT, UIA_IDC_CL_GOOD, UIA_IDC_CL_AVERAGE, UIA_IDC_CL_BAD};
const int kSortRadios[4] = {UIA_IDC_CL_SORT0, UIA_IDC_CL_SORT1, UIA_IDC_CL_SORT2, UIA_IDC_CL_SORT3};

COLORREF *Colour(CandidateListOptions *o, int i)
{
    COLORREF *colours[4] = {&o->Perfect, &o->Good, &o->Average, &o->Bad};
    return colours[i];
}

void Fill(HWND page, PpPage *p)
{
    CandidatePageRecord *r = (CandidatePageRecord *)p->record;
    for (int i = 0; i < 4; ++i) {
        Pp_SetButtonColour(page, kColourButtons[i], *Colour(&r->list, i));
        Pp_SetCheck(page, kSortRadios[i], r->list.SortByLength == i);
    }
    Pp_SetCheck(page, UIA_IDC_CL_HOVER_LIST, r->clickShowList == 0);
    Pp_SetCheck(page, UIA_IDC_CL_CLICK_LIST, r->clickShowList == 1);
}

void Read(HWND page, PpPage *, void *record)
{
    CandidatePageRecord *r = (CandidatePageRecord *)record;
    for (int i = 0; i < 4; ++i) {
        if (GetDlgItem(page, kColourButtons[i]))
            *Colour(&r->list, i) = Pp_GetButtonColour(page, kColourButtons[i]);
        if (Pp_GetCheck(page, kSortRadios[i]) == 1) r->list.SortByLength = i;
    }
    if (Pp_GetCheck(page, UIA_IDC_CL_HOVER_LIST) == 1) r->clickShowList = 0;
    else if (Pp_GetCheck(page, UIA_IDC_CL_CLICK_LIST) == 1) r->clickShowList = 1;
}

INT_PTR Message(HWND page, PpPage *, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DRAWITEM) return Pp_DrawColourButton((const DRAWITEMSTRUCT *)lParam);
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        for (int id : kColourButtons)
            if (LOWORD(wParam) == id) {
                Pp_PickButtonColour(page, id);
                return TRUE;
            }
    return FALSE;
}

void Load(void *record)
{
    CandidatePageRecord *r = (CandidatePageRecord *)record;
    Prefstore_LoadCandidateList(&r->list);
    PopupWindowOptions popup;
    Prefstore_LoadPopupWindow(&popup, nullptr);
    r->clickShowList = popup.ClickShowList;
}

// Saves each of the two records only when its part differs from what is stored now.
int Save(const void *record)
{
    const CandidatePageRecord *r = (const CandidatePageRecord *)record;
    int ok = 1;
    CandidateListOptions stored;
    Prefstore_LoadCandidateList(&stored);
    if (memcmp(&stored, &r->list, sizeof stored) != 0) ok &= Prefstore_SaveCandidateList(&r->list);
    PopupWindowOptions popup;
    Prefstore_LoadPopupWindow(&popup, nullptr);
    if (popup.ClickShowList != r->clickShowList) {
        popup.ClickShowList = r->clickShowList;
        ok &= Prefstore_SavePopupWindow(&popup, nullptr);
    }
    return ok;
}

}  // namespace

const PpPageClass kCandidatePage = {
    UIA_IDD_OPT_CANDIDATES, UIA_IDS_PAGE_CANDIDATES, 10003, 1, 0,
    sizeof(CandidatePageRecord), kFields, sizeof kFields / sizeof kFields[0], Load, Save, nullptr,
    nullptr, Fill, Read, Message, nullptr, nullptr, nullptr, nullptr,
};
