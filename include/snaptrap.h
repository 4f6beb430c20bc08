/* Snaptrap: the input watcher of the resident program.
 *
 * Watches the mouse and the keyboard of the whole desktop through low-level hooks (WH_MOUSE_LL,
 * WH_KEYBOARD_LL) and posts short reports to the windows its caller names: where the mouse came to
 * rest, where the caret stands after typing, which keys went down, mouse clicks, and the trigger
 * key.  Injected input (SendInput) is watched like any other.
 *
 * Exported by ordinal only:
 *   101 Snaptrap_StartWordHook    102 Snaptrap_StopWordHook     103 Snaptrap_StartMouseWatch
 *   104 Snaptrap_StopMouseWatch   105 Snaptrap_SetListWindow    106 Snaptrap_PauseGroup1
 *   107 Snaptrap_PauseGroup2      108 Snaptrap_PauseGroup3
 *
 * Threads: every call comes from one thread, and that thread runs a message loop: the hooks and
 * the library's timers (a message-only window of class "SnaptrapClock") run on it.  Reports are
 * posted, never sent.
 *
 * Reports with a point carry the window at the point (wParam, as WindowFromPoint gives it) and the
 * point in screen coordinates (lParam, MAKELPARAM(x, y), each a signed 16-bit value).
 *
 * The word hook (Snaptrap_StartWordHook), group 1:
 *   SNAPTRAP_MOUSE_STOP  the mouse has not moved for the rest time since it last moved; one report
 *                        per rest, at the last point the mouse reached.
 *   SNAPTRAP_TRIGGER2    the left button went down twice within the double-click time and box,
 *                        over a viewer control (class SNAPTRAP_VIEWER_CLASS), at the second press.
 *   SNAPTRAP_TRIGGER3    the middle button went down over a viewer control.
 *
 * The mouse watch (Snaptrap_StartMouseWatch), group 2 (each report only when its bit is in the
 * report mask):
 *   SNAPTRAP_KEY         (SNAPTRAP_REPORT_KEY) a key other than Shift, Ctrl, Alt and Win went
 *                        down: wParam the virtual key, lParam the modifiers held (MOD_ALT,
 *                        MOD_CONTROL, MOD_SHIFT, MOD_WIN).
 *   SNAPTRAP_HOVER       (SNAPTRAP_REPORT_HOVER) typing stopped: the point is on the character
 *                        before the caret of the foreground thread (one pixel left of the caret,
 *                        at its middle height), the window the caret's window; without a caret,
 *                        the last mouse point and the window there.
 *   SNAPTRAP_WORD_END    (SNAPTRAP_REPORT_WORD_END) as SNAPTRAP_HOVER, when the last key typed was
 *                        the space bar.
 *   SNAPTRAP_CLICK       (SNAPTRAP_REPORT_CLICK) a mouse button went down.
 * Typing is a key press of a character key (letters, digits, punctuation, the numeric pad, the
 * space bar, a character given whole by SendInput) or of Backspace, Delete, Left, Right, Up, Down,
 * Home or End, without Ctrl, Alt or Win held; any other key press ends a typing report that was
 * still to come.  Key reports wait until no key has gone down for SNAPTRAP_KEY_SETTLE ms (so that
 * the caret has moved); then the key reports go out in the order of the keys, then the typing
 * report, then the trigger report.  With keyboard reports off (the keyboardOff argument) no typing
 * report is made; the key reports go on.
 *
 * The trigger key, group 3: the trigger key pressed with exactly its modifiers posts the trigger
 * message to the trigger window, with the window and point of a typing report; the key's press and
 * release are taken from the system, so no application sees them.  It is not a key report.
 *
 * Pauses: a paused group posts nothing and forgets what was waiting (a rest, key reports, a typing
 * report); after the pause a rest is reported only when the mouse has moved again.  While group 3
 * is paused the trigger key reaches the applications as an ordinary key.
 *
 * The list window (Snaptrap_SetListWindow): while it is visible, mouse rests and clicks at points
 * inside its window rectangle grown by the margin on every side are not reported. */
#ifndef SNAPTRAP_H
#define SNAPTRAP_H

#include <windows.h>

/* ---- Reports ---- */
#define SNAPTRAP_TRIGGER3 0x0BD1
#define SNAPTRAP_TRIGGER2 0x0BD2
#define SNAPTRAP_MOUSE_STOP 0x0BD3
#define SNAPTRAP_HOVER 0x0BD4
#define SNAPTRAP_WORD_END 0x0BD5
#define SNAPTRAP_CLICK 0x0BD6
#define SNAPTRAP_KEY 0x0BD8

/* Report mask of Snaptrap_StartMouseWatch (15: all four). */
#define SNAPTRAP_REPORT_HOVER 1
#define SNAPTRAP_REPORT_WORD_END 2
#define SNAPTRAP_REPORT_KEY 4
#define SNAPTRAP_REPORT_CLICK 8

/* Rest time of the word hook when its caller gives 0, in milliseconds. */
#define SNAPTRAP_REST_DEFAULT 100
/* Time without a key press after which key reports go out, in milliseconds. */
#define SNAPTRAP_KEY_SETTLE 50
/* Class of the product line's viewer control, over which clicks are triggers. */
#define SNAPTRAP_VIEWER_CLASS "SCRIVSHOW10"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- The word hook ---- */
/* Starts (or restarts with new values) the mouse-rest reports and the viewer-click triggers to
 * target.  restMs: how long the mouse must stay still, 0 for SNAPTRAP_REST_DEFAULT.  1 on success;
 * 0 when target is not a window or the hook cannot be set. */
int WINAPI Snaptrap_StartWordHook(HWND target, UINT restMs);
/* Stops them; a rest still to come is not reported.  1. */
int WINAPI Snaptrap_StopWordHook(void);

/* ---- The mouse watch ---- */
/* Starts (or restarts with new values) the keyboard and click reports to keyTarget and the
 * trigger key's report to triggerTarget (null: keyTarget).  reports: the SNAPTRAP_REPORT_ mask.
 * keyboardOff non-zero: no typing reports.  triggerMods (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN)
 * and triggerVk: the trigger key (vk 0: none); triggerMsg: the message it posts; triggerOff
 * non-zero: no trigger key.  Reports waiting from before are dropped.  1 on success; 0 when
 * keyTarget is not a window or the hooks cannot be set. */
int WINAPI Snaptrap_StartMouseWatch(HWND keyTarget, HWND triggerTarget, UINT reports, int keyboardOff,
                                    UINT triggerMods, UINT triggerVk, UINT triggerMsg, int triggerOff);
/* Stops them; reports still waiting are dropped.  1. */
int WINAPI Snaptrap_StopMouseWatch(void);
/* Sets the list window (null: none) and its margin in pixels.  1. */
int WINAPI Snaptrap_SetListWindow(HWND list, int margin);

/* ---- Pauses ---- */
/* Pause (non-zero) or resume (0) the reports of group 1 (the word hook), 2 (the mouse watch) or 3
 * (the trigger key).  Answers 1 when the group was paused before the call, else 0. */
int WINAPI Snaptrap_PauseGroup1(int pause);
int WINAPI Snaptrap_PauseGroup2(int pause);
int WINAPI Snaptrap_PauseGroup3(int pause);

#ifdef __cplusplus
}
#endif

#endif /* SNAPTRAP_H */
