/* Creditpane: the splash window and the about box of the product line.
 *
 * Both windows show the product's name, a line in Japanese and one in English, the version and
 * the copyright; their texts and the about box's template are resources of Creditpane.dll (UTF-8
 * source), drawn with the wide-character calls so they read the same under any code page.
 * Exported by ordinal only:
 *   1 Creditpane_ShowSplash     2 Creditpane_ShowAbout     3 Creditpane_OpenSplash
 *   4 Creditpane_CloseSplash    5 Creditpane_SetSplashTime
 *
 * Splash window: class "CreditpaneSplash", a borderless topmost tool window without a taskbar
 * button.  It closes itself when its time has run out (default CREDITPANE_SPLASH_TIME ms, counted
 * from when it is shown), when it is clicked or a key is pressed on it, or when
 * Creditpane_CloseSplash asks it to.  It is centred over its owner when the owner is visible and
 * has an area, otherwise on the work area of the primary monitor (the resident program's main
 * window is hidden and has no size).  Its size follows its texts, so nothing is cut off.
 *
 * About box: a modeless dialog (template CREDITPANE_IDD_ABOUT) owned by the given window; at most
 * one per process.  OK, Esc and its close box destroy it.  The caller feeds it through
 * IsDialogMessage in its message loop and treats a handle that is no longer a window as closed. */
#ifndef CREDITPANE_H
#define CREDITPANE_H

#define CREDITPANE_SPLASH_CLASS "CreditpaneSplash"
#define CREDITPANE_SPLASH_TIME 2500

/* Dialog template and controls of the about box. */
#define CREDITPANE_IDD_ABOUT 100
#define CREDITPANE_IDC_LOGO 1001
#define CREDITPANE_IDC_PRODUCT 1002
#define CREDITPANE_IDC_JAPANESE 1003
#define CREDITPANE_IDC_ENGLISH 1004
#define CREDITPANE_IDC_VERSION 1005
#define CREDITPANE_IDC_COPYRIGHT 1006

#ifndef RC_INVOKED
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Shows the splash window on the calling thread and runs its messages until the window has
 * closed; then 1.  0 when the window could not be made.  For a short-lived thread of its own: the
 * call returns by itself once the splash time has run out.  A quit message that arrives meanwhile
 * closes the splash and is posted again for the caller's loop. */
int WINAPI Creditpane_ShowSplash(HWND owner);
/* Shows the splash window and returns its handle at once (null on failure); it closes itself as
 * above, through the messages of the calling thread's loop. */
HWND WINAPI Creditpane_OpenSplash(HWND owner);
/* Asks the splash window to close (from any thread); a null window asks every splash window of
 * this process.  The number of windows asked. */
int WINAPI Creditpane_CloseSplash(HWND splash);
/* Sets the time that splash windows opened from now on stay up, in milliseconds (0 keeps them up
 * until they are clicked or closed by a call); the previous time. */
DWORD WINAPI Creditpane_SetSplashTime(DWORD milliseconds);

/* Shows the about box owned by owner (may be null) and returns its handle at once; when one is
 * already open it is brought to the front and its handle returned.  Null on failure. */
HWND WINAPI Creditpane_ShowAbout(HWND owner);

#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

#endif /* CREDITPANE_H */
