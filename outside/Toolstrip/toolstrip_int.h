// What the files of the control bar share: the button table and the bindings to the libraries the
// bar takes from its process.
#ifndef TOOLSTRIP_INT_H
#define TOOLSTRIP_INT_H

#include <windows.h>
#include <string>
#include "prefstore.h"

extern HINSTANCE g_toolstripModule;

// Messages of the suite's band that the bar sends or takes.
enum : UINT {
    TS_VLM_REGISTER_WINDOW = 0x83E9,
    TS_VLM_UNREGISTER_WINDOW = 0x83EA,
    TS_VLM_OPTIONS_CHANGED = 0x83EC,
    TS_VLM_SHOW_MAIN_MENU = 0x83F4,
    TS_VLM_SHOW_TRANSSET_MENU = 0x83F5,
    TS_VLM_RUN_SEARCH = 0x83F6,
    TS_VLM_RUN_TRANSLATE = 0x83F7,
    TS_VLM_RUN_DICTIONARY_SETUP = 0x83F8,
    TS_VLM_RUN_STUDY_LIST = 0x83F9,
    TS_VLM_SHOW_OPTIONS = 0x83FB,
    TS_VLM_SHOW_ABOUT = 0x83FD,
    TS_VLM_SHOW_HELP = 0x83FE,
    TS_VLM_SET_CONTROL_BAR = 0x83FF,
    TS_VLM_SET_POPUP_MODE = 0x8400,
    TS_VLM_SET_MOUSE_MODE = 0x8401,
    TS_VLM_SET_HOOK_MODE = 0x8402,
    TS_VLM_SET_CLIPBOARD_MODE = 0x8403,
    TS_VLM_SHOW_LANGUAGE_MANAGER = 0x840F,
};
const int kControlBarKind = 8;

enum class TsAction { Switch, TransSet, Post };

// One button of the bar; its bit in ControlBarFlag is 1 << its position in the table.
struct TsButtonSpec {
    UINT id;
    UINT icon;       // icon id of the resource library
    TsAction action;
    UINT message;    // what a click posts to the main window
    WPARAM wParam;   // for TsAction::Post
};
const int kTsButtonCount = 14;
extern const TsButtonSpec kTsButtons[kTsButtonCount];

// Index of the switch item in the table, or -1.
int Toolstrip_SwitchIndex(WPARAM item);
// Mask of the buttons the options choose (never 0).
DWORD Toolstrip_ChosenButtons(const ControlBarOptions &options);

// ---- Libraries of the process (null or false when it does not have them) ----
bool Toolstrip_LoadOptions(ControlBarOptions *options);
bool Toolstrip_LoadPosition(ControlBarWindowLayout *layout);
void Toolstrip_SavePosition(int x, int y);
// The current translation set's name, empty when unknown.
std::wstring Toolstrip_TransSetName();

#endif
