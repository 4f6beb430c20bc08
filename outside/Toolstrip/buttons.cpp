// The table of the bar's buttons, the choice of buttons by the options, and the libraries of the
// process that the bar reads its settings and the translation set's name from.
#include "toolstrip.h"
#include "toolstrip_int.h"

const TsButtonSpec kTsButtons[kTsButtonCount] = {
    {TOOLSTRIP_ITEM_POINTER, 100, TsAction::Switch, TS_VLM_SET_POPUP_MODE, 0},
    {TOOLSTRIP_ITEM_KEYBOARD, 101, TsAction::Switch, TS_VLM_SET_MOUSE_MODE, 0},
    {TOOLSTRIP_ITEM_HOTKEY, 102, TsAction::Switch, TS_VLM_SET_HOOK_MODE, 0},
    {TOOLSTRIP_ITEM_CLIPBOARD, 109, TsAction::Switch, TS_VLM_SET_CLIPBOARD_MODE, 0},
    {TOOLSTRIP_ITEM_TRANSSET, 110, TsAction::TransSet, TS_VLM_SHOW_TRANSSET_MENU, 0},
    {TOOLSTRIP_ID_SEARCH, 50, TsAction::Post, TS_VLM_RUN_SEARCH, 0},
    {TOOLSTRIP_ID_TRANSLATE, 51, TsAction::Post, TS_VLM_RUN_TRANSLATE, 0},
    {TOOLSTRIP_ID_STUDY_LIST, 54, TsAction::Post, TS_VLM_RUN_STUDY_LIST, 0},
    {TOOLSTRIP_ID_SETUP, 52, TsAction::Post, TS_VLM_RUN_DICTIONARY_SETUP, 0},
    {TOOLSTRIP_ID_OPTIONS, 55, TsAction::Post, TS_VLM_SHOW_OPTIONS, 0},
    {TOOLSTRIP_ID_LANGUAGE, 111, TsAction::Post, TS_VLM_SHOW_LANGUAGE_MANAGER, 0},
    {TOOLSTRIP_ID_MENU, 1, TsAction::Post, TS_VLM_SHOW_MAIN_MENU, 0},
    {TOOLSTRIP_ID_HELP, 56, TsAction::Post, TS_VLM_SHOW_HELP, 1},
    {TOOLSTRIP_ID_ABOUT, 58, TsAction::Post, TS_VLM_SHOW_ABOUT, 0},
};

int Toolstrip_SwitchIndex(WPARAM item) {
    for (int i = 0; i < kTsButtonCount; i++)
        if (kTsButtons[i].action == TsAction::Switch && kTsButtons[i].id == item) return i;
    return -1;
}

DWORD Toolstrip_ChosenButtons(const ControlBarOptions &options) {
    const DWORD all = (1u << kTsButtonCount) - 1;
    DWORD mask;
    if (options.ControlBarCustomize == 1)
        mask = (DWORD)options.ControlBarFlag & all;
    else
        mask = options.ControlBarMode == 1 ? all : TOOLSTRIP_STANDARD_SET;
    if (mask == 0) {
        for (int i = 0; i < kTsButtonCount; i++)
            if (kTsButtons[i].id == TOOLSTRIP_ID_MENU) mask = 1u << i;
    }
    return mask;
}

namespace {

// An export of a library the process has already loaded; the bar never loads these itself.
FARPROC Bound(const char *module, int ordinal) {
    HMODULE m = GetModuleHandleA(module);
    return m ? GetProcAddress(m, MAKEINTRESOURCEA(ordinal)) : nullptr;
}

}  // namespace

bool Toolstrip_LoadOptions(ControlBarOptions *options) {
    ZeroMemory(options, sizeof *options);
    auto load = (void(WINAPI *)(ControlBarOptions *))Bound("Prefstore.dll", 105);
    if (!load) return false;
    load(options);
    return true;
}

bool Toolstrip_LoadPosition(ControlBarWindowLayout *layout) {
    ZeroMemory(layout, sizeof *layout);
    auto load = (void(WINAPI *)(ControlBarWindowLayout *))Bound("Prefstore.dll", 205);
    if (!load) return false;
    load(layout);
    return true;
}

void Toolstrip_SavePosition(int x, int y) {
    auto load = (void(WINAPI *)(ControlBarWindowLayout *))Bound("Prefstore.dll", 205);
    auto save = (int(WINAPI *)(const ControlBarWindowLayout *))Bound("Prefstore.dll", 405);
    if (!load || !save) return;
    ControlBarWindowLayout layout;
    load(&layout);  // keeps the fields the bar does not own
    layout.x = x;
    layout.y = y;
    save(&layout);
}

std::wstring Toolstrip_TransSetName() {
    auto get = (int(WINAPI *)(char *))Bound("Lexshelf.dll", 222);
    if (!get) return std::wstring();
    char name[64] = {};
    get(name);
    name[63] = '\0';
    wchar_t wide[64] = {};
    int n = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 64);
    return n > 1 ? std::wstring(wide) : std::wstring();
}
