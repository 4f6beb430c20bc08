// What the suite's programs load from the resource library, as tables the Japanese and the
// English test walk: every dialog template with the control ids its owner looks for, the ids of
// strings, icons and menus, and checks that a template's texts fit their controls.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdio.h>

#include <set>
#include <string>
#include <vector>

#include "uiassets.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

struct DialogCase {
    int id;
    const char *name;          // picture file name, without extension
    bool child;                // a page, pane or child dialog: created inside a host window
    std::vector<int> controls; // every id the template holds besides -1 labels
};

#define VIEW_IDS                                                                                            \
    UIA_IDC_VIEW_FONTSIZE, UIA_IDC_VIEW_COLOR, UIA_IDC_VIEW_BY_LAYER, UIA_IDC_VIEW_BY_STYLE,                  \
        UIA_IDC_VIEW_STYLES, UIA_IDC_VIEW_RICHTEXT, UIA_IDC_VIEW_NO_LINEFEED, UIA_IDC_VIEW_NO_LAYER,          \
        UIA_IDC_VIEW_LAYER
#define LANG_FULL_IDS                                                                                       \
    UIA_IDC_LG_OFF, UIA_IDC_LG_ON, UIA_IDC_LG_ON2, UIA_IDC_LG_ON3, UIA_IDC_LG_MODE, UIA_IDC_LG_FORMS0,        \
        UIA_IDC_LG_FORMS16, UIA_IDC_LG_FORMS32, UIA_IDC_LG_BEFORE, UIA_IDC_LG_AFTER, UIA_IDC_LG_PHRASE,       \
        UIA_IDC_LG_BEFORE_SPIN, UIA_IDC_LG_AFTER_SPIN, UIA_IDC_LG_PHRASE_SPIN, UIA_IDC_LG_MAX,                \
        UIA_IDC_LG_MAX_SPIN, UIA_IDC_LG_BOTH, UIA_IDC_LG_WORDS, UIA_IDC_LG_PHRASES, UIA_IDC_LG_CASE,          \
        UIA_IDC_LG_ACCENTS, UIA_IDC_LG_HYPHEN, UIA_IDC_LG_SIMILAR

inline std::vector<int> Join(std::vector<int> a, const std::vector<int> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline const std::vector<DialogCase> &DialogCases() {
    static const std::vector<int> cd_fields = UIA_IDC_CD_FIELDS, cd_texts = UIA_IDC_CD_TEXTS,
                                  cd_values = UIA_IDC_CD_VALUES, cd_ops = UIA_IDC_CD_OPERATORS,
                                  bar_buttons = UIA_CONTROL_BAR_BUTTONS;
    static const std::vector<DialogCase> cases = {
        {UIA_IDD_DIC_ORDER, "dic_order", false,
         {UIA_IDC_ORDER_LIST, UIA_IDC_ORDER_LABEL, UIA_IDC_ORDER_UP, UIA_IDC_ORDER_DOWN, UIA_IDC_ORDER_CLOSE,
          UIA_IDC_ORDER_CHOOSE, UIA_IDC_ORDER_STATUS}},
        {UIA_IDD_SEND_TEXT, "send_text", false,
         {UIA_IDC_SEND_EDIT, UIA_IDC_SEND_BUTTON, UIA_IDC_SEND_FLAG1, UIA_IDC_SEND_FLAG2, UIA_IDC_SEND_FLAG4,
          IDCANCEL}},
        {UIA_IDD_USAGE_GRAPH, "usage_graph", false,
         {UIA_IDC_GRAPH_PLOT, UIA_IDC_GRAPH_OLDER, UIA_IDC_GRAPH_NEWER, UIA_IDC_GRAPH_LASTDAY,
          UIA_IDC_GRAPH_SUMMARY, UIA_IDC_GRAPH_WEEK, UIA_IDC_GRAPH_MONTH, UIA_IDC_GRAPH_CLOSE}},
        {UIA_IDD_OPT_STARTUP, "opt_startup", true,
         {UIA_IDC_ST_QUICKLAUNCH, UIA_IDC_ST_DESKTOP, UIA_IDC_ST_LARGEICON, UIA_IDC_ST_TOOLTIP, UIA_IDC_ST_STARTUP,
          UIA_IDC_ST_SAVE_LAST, UIA_IDC_ST_TRANSSET, UIA_IDC_ST_CONTROLBAR, UIA_IDC_ST_TRANSLATE, UIA_IDC_ST_STUDY,
          UIA_IDC_ST_SPEECH, UIA_IDC_ST_AUDIO, UIA_IDC_ST_POINTER, UIA_IDC_ST_HOTKEY, UIA_IDC_ST_CLIPBOARD,
          UIA_IDC_ST_SEARCH, UIA_IDC_ST_KEYBOARD, UIA_IDC_ST_QUIT_GRAPH}},
        {UIA_IDD_OPT_HOTKEYS, "opt_hotkeys", true,
         {UIA_IDC_HK_USE, UIA_IDC_HK_MENU, UIA_IDC_HK_PAUSE_MOUSE, UIA_IDC_HK_PAUSE_KEYBOARD,
          UIA_IDC_HK_PAUSE_HOTKEY, UIA_IDC_HK_TRIGGER, UIA_IDC_HK_PAUSE_CLIPBOARD, UIA_IDC_HK_SEARCH,
          UIA_IDC_HK_TRANSLATE, UIA_IDC_HK_SETUP, UIA_IDC_HK_STUDY, UIA_IDC_HK_EXIT}},
        {UIA_IDD_OPT_CAPTURE, "opt_capture", true,
         {UIA_IDC_CP_MOUSE_TIMER, UIA_IDC_CP_MOUSE_TIMER_TEXT, UIA_IDC_CP_KEY_TIMER, UIA_IDC_CP_KEY_TIMER_TEXT,
          UIA_IDC_CP_INTELLIWORD, UIA_IDC_CP_SPELLCHECK, UIA_IDC_CP_HOTKEY_POPUP, UIA_IDC_CP_HOTKEY_SEARCH,
          UIA_IDC_CP_CLIP_SEARCH, UIA_IDC_CP_CLIP_TRANSLATE, UIA_IDC_CP_POS_FIRST, UIA_IDC_CP_POS_FIRST + 1,
          UIA_IDC_CP_POS_FIRST + 2, UIA_IDC_CP_POS_FIRST + 3, UIA_IDC_CP_POS_FIRST + 4, UIA_IDC_CP_POS_FIRST + 5,
          UIA_IDC_CP_LISTMODE, UIA_IDC_CP_NO_EMPTY, UIA_IDC_CP_UPPER, UIA_IDC_CP_UPPER_SPIN, UIA_IDC_CP_TO_SEARCH,
          UIA_IDC_CP_LOWER, UIA_IDC_CP_LOWER_SPIN, UIA_IDC_CP_KEY_NONE, UIA_IDC_CP_KEY_SHIFT, UIA_IDC_CP_KEY_CTRL,
          UIA_IDC_CP_KEY_SHIFTCTRL}},
        {UIA_IDD_OPT_CANDIDATES, "opt_candidates", true,
         {UIA_IDC_CL_PERFECT, UIA_IDC_CL_GOOD, UIA_IDC_CL_AVERAGE, UIA_IDC_CL_BAD, UIA_IDC_CL_SORT0,
          UIA_IDC_CL_SORT1, UIA_IDC_CL_SORT2, UIA_IDC_CL_SORT3, UIA_IDC_CL_HOVER_LIST, UIA_IDC_CL_CLICK_LIST}},
        {UIA_IDD_OPT_POPUP, "opt_popup", true,
         {UIA_IDC_PP_PLAIN, UIA_IDC_PP_TOOLBAR, UIA_IDC_PP_STATUSBAR, UIA_IDC_PP_SKINNED, UIA_IDC_PP_SKINS,
          UIA_IDC_PP_PREVIEW, UIA_IDC_PP_FIXED, UIA_IDC_PP_FIXED_SIZE, VIEW_IDS}},
        {UIA_IDD_OPT_RESTRICTION, "opt_restriction", true,
         {UIA_IDC_RS_MENU, UIA_IDC_RS_LISTBOX, UIA_IDC_RS_DIALOGBOX, UIA_IDC_RS_AREAS, UIA_IDC_RS_APPLICATIONS,
          UIA_IDC_RS_BUTTON, UIA_IDC_RS_LIST}},
        {UIA_IDD_OPT_CONTROL_BAR, "opt_control_bar", true,
         Join({UIA_IDC_CB_STANDARD, UIA_IDC_CB_CUSTOM, UIA_IDC_CB_MODE_ALL, UIA_IDC_CB_MODE_MAIN, UIA_IDC_CB_LARGE,
               UIA_IDC_CB_SMALL},
              bar_buttons)},
        {UIA_IDD_OPT_SEARCH_WINDOW, "opt_search_window", false,
         {UIA_IDC_WO_MAXDATA, UIA_IDC_WO_MAXDATA_SPIN, UIA_IDC_WO_LINKS, UIA_IDC_WO_LINK_ADD, UIA_IDC_WO_LINK_EDIT,
          UIA_IDC_WO_LINK_DELETE, UIA_IDC_WO_HELP, IDOK, IDCANCEL, VIEW_IDS}},
        {UIA_IDD_OPT_TRANSLATION_WINDOW, "opt_translation_window", false,
         {UIA_IDC_TW_SOUND, UIA_IDC_TW_MAXDATA, UIA_IDC_TW_MAXDATA_SPIN, UIA_IDC_TW_ALL_WORDS, UIA_IDC_WO_HELP, IDOK,
          IDCANCEL, VIEW_IDS}},
        {UIA_IDD_OPT_STUDY_WINDOW, "opt_study_window", false,
         {UIA_IDC_WO_MAXDATA, UIA_IDC_WO_MAXDATA_SPIN, UIA_IDC_WO_HELP, IDOK, IDCANCEL, VIEW_IDS}},
        {UIA_IDD_WEB_LINK, "web_link", false, {UIA_IDC_LINK_NAME, UIA_IDC_LINK_ADDRESS, UIA_IDC_LINK_OK, IDCANCEL}},
        {UIA_IDD_OPT_LANG_POPUP, "lang_popup", true, {LANG_FULL_IDS}},
        {UIA_IDD_OPT_LANG_SEARCH, "lang_search", true,
         {UIA_IDC_LG_OFF, UIA_IDC_LG_ON, UIA_IDC_LG_MODE, UIA_IDC_LG_MAX, UIA_IDC_LG_MAX_SPIN}},
        {UIA_IDD_OPT_LANG_CLIPBOARD, "lang_clipboard", true, {LANG_FULL_IDS}},
        {UIA_IDD_OPT_LANG_FONTS, "lang_fonts", true,
         {UIA_IDC_LG_HEAD_FONT, UIA_IDC_LG_TEXT_FONT, UIA_IDC_LG_COLOR}},
        {UIA_IDD_CONDITIONS, "conditions", false,
         Join(Join(Join(Join(cd_fields, cd_texts), cd_values), cd_ops),
              {UIA_IDC_CD_TEXT_COLUMN, UIA_IDC_CD_CONTAINS, UIA_IDC_CD_STARTS, UIA_IDC_CD_EXACT, UIA_IDC_CD_SEARCH,
               IDCANCEL})},
        {UIA_IDD_PANE_CONDITIONS, "pane_conditions", true, {UIA_IDC_PANE_CONDITIONS, UIA_IDC_PANE_SPLITTER}},
        {UIA_IDD_PANE_HEADWORDS, "pane_headwords", true,
         {UIA_IDC_PANE_EDIT, UIA_IDC_PANE_INDEX, UIA_IDC_PANE_BACK, UIA_IDC_PANE_SPLITTER}},
        {UIA_IDD_PANE_CONTENTS, "pane_contents", true, {UIA_IDC_PANE_TREE, UIA_IDC_PANE_SPLITTER}},
        {UIA_IDD_PANE_KEYWORD, "pane_keyword", true, {UIA_IDC_PANE_EDIT, UIA_IDC_PANE_SEARCH}},
        {UIA_IDD_SEARCH_PROGRESS, "search_progress", false,
         {UIA_IDC_SP_ANIMATION, UIA_IDC_SP_PROGRESS, UIA_IDC_SP_HEADWORD, UIA_IDC_SP_DICTIONARY, IDCANCEL}},
        {UIA_IDD_SAVE_HISTORY, "save_history", false, {UIA_IDC_SAVE_NAME, IDOK, IDCANCEL}},
        {UIA_IDD_FIND_TITLE, "find_title", false, {UIA_IDC_FT_LABEL, UIA_IDC_FT_NAME, IDOK, IDCANCEL}},
        {UIA_IDD_FIND_RESULT, "find_result", true,
         {UIA_IDC_FR_FOLDER, UIA_IDC_FR_LIST, UIA_IDC_FR_STATUS, UIA_IDC_FR_CHECK_ALL, UIA_IDC_FR_CHOOSE_FOLDER,
          UIA_IDC_FR_REGISTER, UIA_IDC_FR_COPY, UIA_IDC_FR_CLOSE}},
        {UIA_IDD_FIND_FOLDER, "find_folder", false,
         {UIA_IDC_FF_DRIVES, UIA_IDC_FF_FOLDERS, UIA_IDC_FF_PATH, UIA_IDC_FF_NETWORK, UIA_IDC_FF_OK, IDCANCEL}},
        {UIA_IDD_FIND_PROGRESS, "find_progress", false,
         {UIA_IDC_FP_ANIMATION, UIA_IDC_FP_PROGRESS, UIA_IDC_FP_LABEL, IDCANCEL}},
        {UIA_IDD_FIND_FOLDER_NAME, "find_folder_name", false, {UIA_IDC_FN_NAME, UIA_IDC_FN_PREVIEW, IDOK, IDCANCEL}},
        {UIA_IDD_FIND_OVERWRITE, "find_overwrite", false,
         {UIA_IDC_FO_SOURCE, UIA_IDC_FO_SAME_FOR_ALL, IDYES, IDNO}},
        {UIA_IDD_FIND_DRIVES, "find_drives", false,
         {UIA_IDC_FD_ICON, UIA_IDC_FD_LIST, UIA_IDC_FD_LABEL, UIA_IDC_FD_MODE, UIA_IDC_FD_DICTIONARIES,
          UIA_IDC_FD_BOOKS, UIA_IDC_FD_ENGINES, UIA_IDC_FD_INDEXES, IDYES, IDNO}},
    };
    return cases;
}

// Texts the owners put into a template's controls at run time: they must fit as well.
struct LaterText {
    int dialog, control;
    UINT string;
};
inline const std::vector<LaterText> &LaterTexts() {
    static const std::vector<LaterText> texts = {
        {UIA_IDD_FIND_DRIVES, UIA_IDC_FD_LABEL, UIA_IDS_DRIVES_ALL},
        {UIA_IDD_FIND_DRIVES, UIA_IDC_FD_LABEL, UIA_IDS_DRIVES_CHOSEN},
        {UIA_IDD_FIND_DRIVES, UIA_IDC_FD_MODE, UIA_IDS_DRIVES_CHOOSE},
        {UIA_IDD_FIND_DRIVES, UIA_IDC_FD_MODE, UIA_IDS_DRIVES_USE_ALL},
        {UIA_IDD_FIND_TITLE, UIA_IDC_FT_LABEL, UIA_IDS_TITLE_LABEL},
        {UIA_IDD_WEB_LINK, UIA_IDC_LINK_OK, UIA_IDS_LINK_BUTTON_EDIT},
        {UIA_IDD_USAGE_GRAPH, UIA_IDC_GRAPH_OLDER, UIA_IDS_GRAPH_MONTH_OLDER},
        {UIA_IDD_USAGE_GRAPH, UIA_IDC_GRAPH_OLDER, UIA_IDS_GRAPH_WEEK_OLDER},
        {UIA_IDD_USAGE_GRAPH, UIA_IDC_GRAPH_NEWER, UIA_IDS_GRAPH_MONTH_NEWER},
        {UIA_IDD_USAGE_GRAPH, UIA_IDC_GRAPH_NEWER, UIA_IDS_GRAPH_WEEK_NEWER},
    };
    return texts;
}

// Strings the programs load by number (ranges written out).
inline std::vector<UINT> LoadedStrings() {
    std::vector<UINT> ids = {
        UIA_IDS_SHORTCUT_NAME, UIA_IDS_TIP_OFF, UIA_IDS_CAPTION_MAIN, UIA_IDS_DEFAULT_DIC, UIA_IDS_WEB_LOOKUP,
        UIA_IDS_HELP_BUTTON, UIA_IDS_DICLIST_LANGUAGE, UIA_IDS_DATALIST_HEADWORD, UIA_IDS_DATALIST_DICTIONARY,
        UIA_IDS_DATALIST_DATE, UIA_IDS_SEND_FAILED, UIA_IDS_SEND_FAILED_CAPTION, UIA_IDS_CAPTION_WORDS,
        UIA_IDS_DELETE_ENTRY, UIA_IDS_WORD_SAVE_FAILED, UIA_IDS_WORD_NO_HEADWORD, UIA_IDS_WORD_FILE_NAME,
        UIA_IDS_WORD_FILE_PATH, UIA_IDS_WORD_HEADWORD, UIA_IDS_WORD_READING, UIA_IDS_WORD_SAVE, UIA_IDS_WORD_CLOSE,
        UIA_IDS_NO_CANDIDATE, UIA_IDS_GRAPH_MONTH_OLDER, UIA_IDS_GRAPH_WEEK_NEWER, UIA_IDS_GRAPH_WEEK_OLDER,
        UIA_IDS_GRAPH_LASTDAY, UIA_IDS_GRAPH_COUNTS, UIA_IDS_GRAPH_MONTH_NEWER, UIA_IDS_CAPTION_OPTIONS,
        UIA_IDS_PAGE_STARTUP, UIA_IDS_PAGE_CAPTURE, UIA_IDS_PAGE_HOTKEYS, UIA_IDS_PAGE_POPUP,
        UIA_IDS_PAGE_CANDIDATES, UIA_IDS_PAGE_RESTRICTION, UIA_IDS_PAGE_CONTROL_BAR, UIA_IDS_CANCEL_CHANGES,
        UIA_IDS_LANG_CAPTION, UIA_IDS_PAGE_LANG_FONTS, UIA_IDS_LINK_BUTTON_EDIT, UIA_IDS_LINK_CAPTION_EDIT,
        UIA_IDS_LINK_NO_NAME, UIA_IDS_LINK_NO_ADDRESS, UIA_IDS_NEW_DICTIONARIES, UIA_IDS_TIP_CONTROL_BAR,
        UIA_IDS_RESULT_COUNT, UIA_IDS_FIELD_NONE, UIA_IDS_FIELD_HEADWORD, UIA_IDS_FIELD_TEXT, UIA_IDS_FIELD_NUMBER,
        UIA_IDS_OPERATOR_AND, UIA_IDS_OPERATOR_OR, UIA_IDS_SEARCHING_DIC, UIA_IDS_CAPTION_STUDY,
        UIA_IDS_LIST_HISTORY, UIA_IDS_LIST_DEFAULT, UIA_IDS_LIST_COUNT, UIA_IDS_LIST_NEW_NAME,
        UIA_IDS_LIST_WORD_COUNT, UIA_IDS_LIST_FILTER, UIA_IDS_LIST_MISSING_DIC, UIA_IDS_LIST_FULL, UIA_IDS_LIST_BAD_NAME, UIA_IDS_LIST_NAME_TAKEN,
        UIA_IDS_LIST_FILE_FAILED, UIA_IDS_FINDER_CAPTION,
        UIA_IDS_FINDER_NOTICE, UIA_IDS_FOUND_COLUMN_NAME, UIA_IDS_FOUND_COLUMN_PATH, UIA_IDS_FOUND_COUNT,
        UIA_IDS_FOUND_SPACE, UIA_IDS_SIZE_GB, UIA_IDS_SIZE_MB, UIA_IDS_DRIVES_ALL, UIA_IDS_DRIVES_CHOSEN,
        UIA_IDS_DRIVES_CHOOSE, UIA_IDS_DRIVES_USE_ALL, UIA_IDS_NOTHING_FOUND, UIA_IDS_NETWORK_DRIVE,
        UIA_IDS_FOLDER_UNUSABLE, UIA_IDS_COPY_DICTIONARY, UIA_IDS_COPYING, UIA_IDS_LEVEL_IS_FILE,
        UIA_IDS_PATH_INCOMPLETE, UIA_IDS_CREATE_FOLDER, UIA_IDS_NOT_A_FOLDER, UIA_IDS_TITLE_CAPTION,
        UIA_IDS_TITLE_LABEL, UIA_IDS_CONVERTING, UIA_IDS_CONVERT_CAPTION, UIA_IDS_REGISTERED};
    auto range = [&](UINT first, UINT last) {
        for (UINT id = first; id <= last; id++) ids.push_back(id);
    };
    range(UIA_IDS_LAYER_FIRST, UIA_IDS_LAYER_FIRST + 5);
    range(UIA_IDS_FONTSIZE_FIRST, UIA_IDS_FONTSIZE_FIRST + 4);
    range(UIA_IDS_SEARCHMODE_FIRST, UIA_IDS_SEARCHMODE_SIMILAR);
    range(UIA_IDS_CAPTURE_KEY_FIRST, UIA_IDS_CAPTURE_KEY_FIRST + 4);
    range(UIA_IDS_DICLIST_COLUMN_FIRST, UIA_IDS_DICLIST_COLUMN_FIRST + 6);
    range(UIA_IDS_MATCH_FIRST, UIA_IDS_MATCH_FIRST + 4);
    range(UIA_IDS_PAGE_LANG_FIRST, UIA_IDS_PAGE_LANG_FIRST + 4);
    range(UIA_IDS_DISPSTYLE_FIRST, UIA_IDS_DISPSTYLE_FIRST + 12);
    range(UIA_IDS_TAB_FIRST, UIA_IDS_TAB_FIRST + 3);
    range(UIA_IDS_LIST_COLUMN_FIRST, UIA_IDS_LIST_COLUMN_FIRST + 2);
    for (UINT id : {1001u, 1003u, 1004u, 1005u, 1007u, 1008u, 1015u, 1016u, 1017u, 1018u, 1019u, 1020u, 1021u, 1024u})
        ids.push_back(id);
    // Tool tips: the commands of the pop-up viewer's, the search window's and the study list's tool bars.
    for (UINT id : {UIA_CMD_PIN, UIA_CMD_CANDIDATES, UIA_CMD_PRONOUNCE, UIA_CMD_EARLIER, UIA_CMD_LATER,
                    UIA_CMD_TO_SEARCH, UIA_CMD_TO_STUDY_LIST, UIA_CMD_NEW_WORD, UIA_CMD_ADD_TO_LIST, UIA_CMD_OPTIONS,
                    UIA_CMD_ORDER_DIALOG, UIA_CMD_TO_TRANSLATION, UIA_CMD_BACK, UIA_CMD_FORWARD, UIA_CMD_CUT,
                    UIA_CMD_COPY, UIA_CMD_PASTE, UIA_CMD_EDIT_WORD, UIA_CMD_LANGUAGE_MANAGER, UIA_CMD_TYPING_DRILL,
                    UIA_CMD_NEW, UIA_CMD_OPEN, UIA_CMD_IMPORT, UIA_CMD_EXPORT, UIA_CMD_MAKE_ACTIVE,
                    UIA_CMD_NEXT_VIEW, UIA_CMD_SAVE, UIA_CMD_PRINT})
        ids.push_back(id);
    return ids;
}

// Icons the programs take by number, through ExtractIconExA with the negative id or LoadImageA.
inline std::vector<int> LoadedIcons() {
    std::vector<int> ids = {UIA_IDI_POPUP, UIA_IDI_POPUP_OFF, UIA_IDI_PIN, UIA_IDI_LATER, UIA_IDI_EARLIER,
                            UIA_IDI_WORD_EDITOR, UIA_IDI_CANDIDATES, UIA_IDI_PRONOUNCE, UIA_IDI_SEARCH,
                            UIA_IDI_LIST_HISTORY, 52, UIA_IDI_STUDY_LIST, UIA_IDI_OPTIONS, 56, 58, 59, 100, 109, 111,
                            UIA_IDI_DATALIST_FOLDED, UIA_IDI_DATALIST_OPEN, UIA_IDI_PINNED, UIA_IDI_FINDER,
                            UIA_IDI_ADD_TO_LIST, UIA_IDI_DIC_BOOK, UIA_IDI_DIC_BOOK - 1, UIA_IDI_DIC_DRIVER,
                            UIA_IDI_DIC_DRIVER + 1, UIA_IDI_ORDER_UP, UIA_IDI_ORDER_DOWN, UIA_IDI_FOLDER_UPPER,
                            UIA_IDI_FOLDER_LAST, UIA_IDI_FOLDER_SUB, UIA_IDI_DIC_MENU, UIA_IDI_LIST_ACTIVE,
                            UIA_IDI_LIST_ACTIVE_OPEN, UIA_IDI_CONTROL_BAR, 223, UIA_IDI_LIST_FIRST,
                            UIA_IDI_LIST_FIRST + 1, UIA_IDI_GROUP, UIA_IDI_GROUP + 1};
    for (int id = UIA_IDI_TREE_FIRST; id <= 140; id++) ids.push_back(id);  // contents tree, slots, rows, marks
    for (int id = UIA_IDI_POPUPPOS_FIRST; id <= UIA_IDI_POPUPPOS_FIRST + 5; id++) ids.push_back(id);
    return ids;
}

// ---- Checks on a created dialog ------------------------------------------------------------------

// The ids of the dialog's own children that are not -1 labels.
inline std::set<int> ChildIds(HWND dlg) {
    std::set<int> ids;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(c);
        if (id != -1 && id != 0xFFFF) ids.insert(id);
    }
    return ids;
}

// Text extent of a control's text in its own font as the control draws it (prefix characters
// hidden, words wrapped at width when wrap is set).
inline RECT TextBox(HWND c, const std::string &text, int width, bool wrap) {
    HDC dc = GetDC(c);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(c, WM_GETFONT, 0, 0));
    RECT r = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(c, dc);
    return r;
}

// Empty when the control shows its whole text, else what does not fit.
inline std::string TextProblem(HWND c) {
    char cls[64] = "", text[512] = "";
    GetClassNameA(c, cls, sizeof cls);
    GetWindowTextA(c, text, sizeof text);
    if (!text[0]) return "";
    RECT client;
    GetClientRect(c, &client);
    LONG style = GetWindowLongA(c, GWL_STYLE);
    char why[700];
    if (!lstrcmpiA(cls, "Button")) {
        LONG type = style & BS_TYPEMASK;
        if (type == BS_OWNERDRAW || (style & (BS_ICON | BS_BITMAP))) return "";
        int room = client.right;
        if (type == BS_GROUPBOX)
            room -= 16;
        else if (!(style & BS_PUSHLIKE) && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                                            type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE))
            room -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
        else
            room -= 6;
        RECT r = TextBox(c, text, 0, false);
        if (r.right <= room) return "";
        snprintf(why, sizeof why, "button \"%s\" needs %ld pixels, has %d", text, r.right, room);
        return why;
    }
    if (!lstrcmpiA(cls, "Static")) {
        LONG type = style & SS_TYPEMASK;
        if ((type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP) ||
            (style & SS_ELLIPSISMASK))
            return "";
        bool wrap = type != SS_LEFTNOWORDWRAP;
        RECT r = TextBox(c, text, client.right, wrap);
        if (r.right <= client.right && r.bottom <= client.bottom) return "";
        snprintf(why, sizeof why, "label \"%s\" needs %ld x %ld pixels, has %ld x %ld", text, r.right, r.bottom,
                 client.right, client.bottom);
        return why;
    }
    return "";
}

// ---- Stand-ins for the suite's own control classes that templates name ---------------------------

inline LRESULT CALLBACK PlainBoxProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, msg, wp, lp);
}

// PPLINE as an edit control, VLDBLISTCLASS as a white box; both global, as their libraries make them.
inline void RegisterStandInClasses() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                ICC_HOTKEY_CLASS | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    WNDCLASSEXA edit = {sizeof edit};
    if (GetClassInfoExA(nullptr, "EDIT", &edit)) {
        edit.lpszClassName = "PPLINE";
        edit.hInstance = GetModuleHandleA(nullptr);
        edit.style |= CS_GLOBALCLASS;
        RegisterClassExA(&edit);
    }
    WNDCLASSEXA box = {sizeof box};
    box.style = CS_GLOBALCLASS;
    box.lpfnWndProc = PlainBoxProc;
    box.hInstance = GetModuleHandleA(nullptr);
    box.hCursor = LoadCursor(nullptr, IDC_ARROW);
    box.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    box.lpszClassName = "VLDBLISTCLASS";
    RegisterClassExA(&box);
}

inline INT_PTR CALLBACK QuietDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// A plain top-level window that holds child templates (pages, panes) for the checks.
inline HWND CreateHost() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "UiassetsTestHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "UiassetsTestHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 600, 500,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

// The face of the font a dialog was created with.
inline std::string DialogFace(HWND dlg) {
    LOGFONTA lf = {};
    GetObjectA((HFONT)SendMessageA(dlg, WM_GETFONT, 0, 0), sizeof lf, &lf);
    return lf.lfFaceName;
}

// Fills a few lists of a template the way their owners do, so that the pictures show them.
inline void FillSamples(HWND dlg) {
    char text[256];
    auto fill = [&](int id, UINT first, UINT last, bool list) {
        HWND c = GetDlgItem(dlg, id);
        if (!c) return;
        for (UINT s = first; s <= last; s++)
            if (Uiassets_LoadString(s, text, sizeof text))
                SendMessageA(c, list ? LB_ADDSTRING : CB_ADDSTRING, 0, (LPARAM)text);
        if (!list) SendMessageA(c, CB_SETCURSEL, 0, 0);
    };
    fill(UIA_IDC_VIEW_FONTSIZE, UIA_IDS_FONTSIZE_FIRST, UIA_IDS_FONTSIZE_FIRST + 4, false);
    fill(UIA_IDC_VIEW_LAYER, UIA_IDS_LAYER_FIRST, UIA_IDS_LAYER_FIRST + 5, false);
    fill(UIA_IDC_VIEW_STYLES, UIA_IDS_DISPSTYLE_FIRST, UIA_IDS_DISPSTYLE_FIRST + 12, true);
    for (int id : {UIA_IDC_CP_KEY_NONE, UIA_IDC_CP_KEY_SHIFT, UIA_IDC_CP_KEY_CTRL, UIA_IDC_CP_KEY_SHIFTCTRL})
        fill(id, UIA_IDS_CAPTURE_KEY_FIRST, UIA_IDS_CAPTURE_KEY_FIRST + 4, false);
    fill(UIA_IDC_LG_MODE, UIA_IDS_SEARCHMODE_FIRST, UIA_IDS_SEARCHMODE_SIMILAR, false);
    static const std::vector<int> ops = UIA_IDC_CD_OPERATORS;
    for (int id : ops) fill(id, UIA_IDS_OPERATOR_AND, UIA_IDS_OPERATOR_OR, false);
    auto icon = [&](int id, UINT iconId) {  // icon buttons take their pictures from their owner
        HWND c = GetDlgItem(dlg, id);
        HICON large = nullptr, small = nullptr;
        if (c && Uiassets_GetIcons(iconId, &large, &small)) SendMessageA(c, BM_SETIMAGE, IMAGE_ICON, (LPARAM)small);
    };
    icon(UIA_IDC_ORDER_UP, UIA_IDI_ORDER_UP);
    icon(UIA_IDC_ORDER_DOWN, UIA_IDI_ORDER_DOWN);
    static const int positions[6] = {169, 173, 170, 172, 171, 168};  // pop-up positions 0 to 5
    for (int i = 0; i < 6; i++) icon(UIA_IDC_CP_POS_FIRST + i, positions[i]);
}

// A top-level template created inside the host as a child window, from a copy whose style has
// WS_CHILD for WS_POPUP: the same controls, font and caption, and no top-level window to take
// down, which the display server is slow to do.
inline HWND CreateInside(HMODULE res, int id, HWND host) {
    HRSRC r = FindResourceA(res, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG);
    if (!r) return nullptr;
    const BYTE *bytes = (const BYTE *)LockResource(LoadResource(res, r));
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(res, r));
    if (copy.size() < 16 || *(const WORD *)&copy[2] != 0xFFFF) return nullptr;  // not an extended template
    DWORD *style = (DWORD *)&copy[12];  // version, signature, help id, extended style, style
    *style = (*style & ~(DWORD)WS_POPUP) | WS_CHILD;
    return CreateDialogIndirectParamA(res, (LPCDLGTEMPLATEA)copy.data(), host, QuietDialogProc, 0);
}

// Creates every template inside a host window, compares its control ids with the table, checks
// that every text (and every text the owner puts in later) fits, that the template is the one of
// the expected language (its font), and saves a picture of each as <name><suffix>.bmp.
inline void CheckEveryDialog(const char *face, const char *suffix) {
    RegisterStandInClasses();
    HMODULE res = Uiassets_GetModule();
    HWND host = CreateHost();
    ASSERT_NE(host, nullptr);
    for (const DialogCase &d : DialogCases()) {
        SCOPED_TRACE(d.name);
        HWND dlg = d.child ? CreateDialogParamA(res, MAKEINTRESOURCEA(d.id), host, QuietDialogProc, 0)
                           : CreateInside(res, d.id, host);
        ASSERT_NE(dlg, nullptr);
        std::set<int> want(d.controls.begin(), d.controls.end());
        EXPECT_EQ(ChildIds(dlg), want) << "control ids of template " << d.id;
        EXPECT_EQ(DialogFace(dlg), face);
        for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            std::string problem = TextProblem(c);
            EXPECT_EQ(problem, "") << "control " << GetDlgCtrlID(c);
        }
        for (const LaterText &t : LaterTexts()) {
            if (t.dialog != d.id) continue;
            char text[256];
            ASSERT_GT(Uiassets_LoadString(t.string, text, sizeof text), 0);
            HWND c = GetDlgItem(dlg, t.control);
            ASSERT_NE(c, nullptr);
            SetWindowTextA(c, text);
            EXPECT_EQ(TextProblem(c), "") << "string " << t.string << " in control " << t.control;
        }
        FillSamples(dlg);
        RECT r;
        GetWindowRect(dlg, &r);
        SetWindowPos(dlg, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        SetWindowPos(host, HWND_TOP, 0, 0, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
        ShowWindow(dlg, SW_SHOWNOACTIVATE);
        RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Testkit_Pump();
        std::string path = std::string(d.name) + suffix + ".bmp";
        EXPECT_TRUE(Testkit_SaveWindowPicture(host, path.c_str()));  // for a person to look at
        DestroyWindow(dlg);
    }
    DestroyWindow(host);
}
