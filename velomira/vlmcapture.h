// Velomira.exe: the capture of one lookup and its hand-off (vlmcapture.cpp).
#pragma once

#include <windows.h>

#include "lexidata.h"

// The clipboard's lookups in the hand-off table.
#define VLM_CLIPBOARD_REQUEST 0x402

// The trigger message a hook report's capture request carries: the report itself inside the
// rich-text viewer control, the keyboard trigger (no line modes) in every other window.
UINT Vlm_RequestTrigger(UINT message, HWND window);

// VLM_CAPTURE_REQUEST: lParam points at {window, x, y, trigger message} (four 32-bit fields);
// usePoint 1 captures at the request's point, 0 at the cursor.  The new lookup request, or 0 when
// the capture was refused (a capture under way, an excluded window, nothing to look up).
LRESULT Vlm_CaptureText(HWND main, WPARAM usePoint, LPARAM request);

// After every trigger, with the request the capture made (or null): sets its request kind and
// dictionary by the trigger, delivers it to the window kind the options choose, destroys it, and
// resumes the hook library when this trigger's capture paused it.
void Vlm_HandOff(HWND main, UINT message, VLTranParam *request);
