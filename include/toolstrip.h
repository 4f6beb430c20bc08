/* Toolstrip: the control bar of the resident program.
 *
 * A small topmost tool window with a row of buttons, owned by the resident program's main window
 * and living on its thread.  Four buttons show and switch the lookup modes (pointer, keyboard,
 * trigger key, clipboard); the others start programs, open menus and windows.  The bar never acts
 * itself: every button posts one message of the suite's band to the main window, which answers
 * by applying the change and sending the bar the new state (TOOLSTRIP_VLM_CONTROL_BAR_STATE).
 * Exported by ordinal only:
 *   1 Toolstrip_Create
 *
 * Registration: at creation the bar sends the main window VLM_REGISTER_WINDOW (0x83E9) with
 * wParam 8 (window kind "control bar") and lParam the bar; while it is destroyed it sends
 * VLM_UNREGISTER_WINDOW (0x83EA) with wParam 8.  The main window destroys the bar with
 * DestroyWindow.  The bar's close box does not destroy it: it posts VLM_SET_CONTROL_BAR (0x83FF)
 * with 0, so the main window turns the switch off (and destroys the bar); without a live main
 * window the close box destroys the bar.
 *
 * Messages the bar takes (all sent by the main window; results as stated):
 *   TOOLSTRIP_VLM_CONTROL_BAR_STATE 0x8404, wParam an item, lParam its state:
 *     items 100 (pointer lookup), 101 (keyboard lookup), 108 (trigger-key lookup),
 *     118 (clipboard lookup): lParam 0 off, anything else on; the button shows it;
 *     item 64: the current translation set changed (lParam ignored); the bar reads its name again.
 *     1 for these items (also when the item's button is hidden), 0 for any other item.
 *   VLM_OPTIONS_CHANGED 0x83EC: the bar reads its options again and rebuilds its buttons; 1.
 *
 * Buttons: which are shown comes from ControlBarOptions (Prefstore, section Customize):
 * ControlBarCustomize 1 shows the buttons whose bits are set in ControlBarFlag; otherwise
 * ControlBarMode 1 shows all of them and 0 the standard set (TOOLSTRIP_STANDARD_SET).  A choice
 * that leaves no button shows the menu button alone.  CtlBarIcon 1 puts the resource library's icon
 * before each label (Uiassets.dll, loaded by name; no icons when it is missing).  In bit order:
 *
 *   bit     control id  label (tooltip)         click posts to the main window
 *   0x0001  100         pointer                 VLM_SET_POPUP_MODE 0x8400 (-1, new state)
 *   0x0002  101         keyboard                VLM_SET_MOUSE_MODE 0x8401 (-1, new state)
 *   0x0004  108         trigger key             VLM_SET_HOOK_MODE 0x8402 (-1, new state)
 *   0x0008  118         clipboard               VLM_SET_CLIPBOARD_MODE 0x8403 (-1, new state)
 *   0x0010  64          the current translation set's name
 *                                               VLM_SHOW_TRANSSET_MENU 0x83F5 (0, x | y << 16:
 *                                               the button's lower left corner on the screen)
 *   0x0020  11001       search station          VLM_RUN_SEARCH 0x83F6 (0, 0)
 *   0x0040  11002       translation window      VLM_RUN_TRANSLATE 0x83F7 (0, 0)
 *   0x0080  11003       study list              VLM_RUN_STUDY_LIST 0x83F9 (0, 0)
 *   0x0100  11004       dictionary setup        VLM_RUN_DICTIONARY_SETUP 0x83F8 (0, 0)
 *   0x0200  5406        options                 VLM_SHOW_OPTIONS 0x83FB (0, 0)
 *   0x0400  11005       language manager        VLM_SHOW_LANGUAGE_MANAGER 0x840F (0, 0)
 *   0x0800  102         menu                    VLM_SHOW_MAIN_MENU 0x83F4 (0, 0)
 *   0x1000  11014       help                    VLM_SHOW_HELP 0x83FE (1, 0)
 *   0x2000  11015       about                   VLM_SHOW_ABOUT 0x83FD (0, 0)
 *
 * "New state" is the inverse of the state last sent for that item (off until one is sent).
 * Labels and tooltips are Japanese resources of Toolstrip.dll, drawn with the wide-character
 * calls; each button is as wide as its label needs.  The translation set's name comes from the
 * dictionary manager (Lexshelf.dll, ordinal 222) when the process has it loaded; otherwise, and
 * for an empty name, the button reads "translation set".
 *
 * Settings: the options above and the bar's position (ControlBarWindowLayout, Window\ControlBar)
 * are read and written through the option manager (Prefstore.dll, ordinals 105, 205, 405) when
 * the process has it loaded; without it the bar shows the standard set without icons at the top
 * left of the work area.  The position is kept inside the screen and saved when the bar is
 * destroyed. */
#ifndef TOOLSTRIP_H
#define TOOLSTRIP_H

#include <windows.h>

#include "basekit.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TOOLSTRIP_CLASS "ToolstripControlBar"
#define TOOLSTRIP_VLM_CONTROL_BAR_STATE 0x8404

/* Items of TOOLSTRIP_VLM_CONTROL_BAR_STATE, also the control ids of their buttons. */
#define TOOLSTRIP_ITEM_POINTER 100
#define TOOLSTRIP_ITEM_KEYBOARD 101
#define TOOLSTRIP_ITEM_HOTKEY 108
#define TOOLSTRIP_ITEM_CLIPBOARD 118
#define TOOLSTRIP_ITEM_TRANSSET 64

/* Control ids of the other buttons. */
#define TOOLSTRIP_ID_SEARCH 11001
#define TOOLSTRIP_ID_TRANSLATE 11002
#define TOOLSTRIP_ID_STUDY_LIST 11003
#define TOOLSTRIP_ID_SETUP 11004
#define TOOLSTRIP_ID_OPTIONS 5406
#define TOOLSTRIP_ID_LANGUAGE 11005
#define TOOLSTRIP_ID_MENU 102
#define TOOLSTRIP_ID_HELP 11014
#define TOOLSTRIP_ID_ABOUT 11015

/* Buttons of ControlBarMode 0: the four switches, the translation set, search station and
 * translation window. */
#define TOOLSTRIP_STANDARD_SET 0x007F

/* Creates the bar owned by mainWindow and shows it; it registers itself as window kind 8 with the
 * main window.  tooltips may be null; otherwise each button becomes a tool of that manager's
 * tooltip window and is taken off it again when the bar goes.  The bar's window, or null. */
HWND WINAPI Toolstrip_Create(HWND mainWindow, ToolTipManager *tooltips);

#ifdef __cplusplus
}
#endif

#endif /* TOOLSTRIP_H */
