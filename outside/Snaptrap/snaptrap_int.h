// What the files of the input watcher share: the one watch of the process and its key rules.
#ifndef SNAPTRAP_INT_H
#define SNAPTRAP_INT_H

#include <windows.h>

enum { kGroupWord = 1, kGroupWatch = 2, kGroupTrigger = 3 };
enum { kMaxKeys = 64 };  // key reports that wait for the settle time; later ones are dropped

// The watch of this process (one per process, used from one thread).
struct Trap {
    HMODULE module;
    HWND clock;  // message-only window whose timers time the rest and the key settle
    HHOOK mouseHook, keyHook;
    bool paused[4];  // by group

    // The word hook.
    bool wordOn;
    HWND wordTarget;
    UINT restMs;
    POINT mouse;  // the last point the mouse reached
    bool moved;   // it moved since the last rest report
    DWORD leftTime;  // time and point of a left press that may begin a double click (time 0: none)
    POINT leftPoint;

    // The mouse watch.
    bool watchOn;
    HWND keyTarget, triggerTarget;
    UINT reports;
    bool keyboardOff;
    UINT triggerMods, triggerVk, triggerMsg;
    bool triggerOff;
    UINT heldMods;     // modifiers held, as MOD_ flags, from the keys seen
    UINT heldSides;    // the left and right modifier keys held (bits of kSide...)
    UINT swallowUp;    // the trigger key whose release is to be taken too (0: none)
    UINT keys[kMaxKeys][2];  // key reports waiting: virtual key, modifiers
    int keyCount;
    UINT typing;  // the typing report waiting (SNAPTRAP_HOVER, SNAPTRAP_WORD_END) or 0
    bool trigger; // a trigger report is waiting

    // The list window.
    HWND list;
    int margin;
};
extern Trap g_trap;

// ---- Key rules (keys.cpp; no window calls) ----
// The MOD_ flag of a modifier key (Shift, Ctrl, Alt, Win, either side), else 0.
UINT Snaptrap_ModifierFlag(UINT vk);
// A bit per modifier key and side, to know when the last key of a modifier has gone up; 0 for
// other keys.
UINT Snaptrap_SideBit(UINT vk);
// The MOD_ flags of a set of side bits.
UINT Snaptrap_ModsOfSides(UINT sides);
// True for a key press that counts as typing, with the modifiers held.
bool Snaptrap_IsTyping(UINT vk, UINT mods);
// True when pt lies in rc grown by margin on every side.
bool Snaptrap_InGrownRect(const RECT &rc, int margin, POINT pt);

// ---- Reports (reports.cpp) ----
enum { kTimerRest = 1, kTimerKeys = 2 };
// Makes the clock window on the calling thread when there is none.
bool Snaptrap_EnsureClock();
// Sets or removes the hooks as the word hook and the mouse watch need them; false when a needed
// hook cannot be set.
bool Snaptrap_UpdateHooks();
// Forgets what a group has waiting.
void Snaptrap_DropGroup(int group);
// The hook procedures (hooks.cpp).
LRESULT CALLBACK Snaptrap_MouseProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK Snaptrap_KeyProc(int code, WPARAM wParam, LPARAM lParam);
// Posts what waits for the settle time (reports.cpp).
void Snaptrap_FlushKeys();
// True when pt is in the area of the visible list window.
bool Snaptrap_InListArea(POINT pt);

#endif
