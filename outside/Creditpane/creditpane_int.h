// What the splash window and the about box share: the module, their texts and the logo.
#ifndef CREDITPANE_INT_H
#define CREDITPANE_INT_H

#include <windows.h>
#include <string>

extern HINSTANCE g_creditpaneModule;

// Registers the splash window's class (again, harmlessly) or takes it away.
void Creditpane_RegisterSplash(bool reg);
// String id of the library's own table as wide text; empty when missing.
std::wstring Creditpane_String(UINT id);
// The font of the product's texts at the given pixel height (the caller deletes it).
HFONT Creditpane_Font(int pixelHeight, bool bold);
// Draws the product's logo (a disc with the initial) into the square rc.
void Creditpane_DrawLogo(HDC dc, const RECT &rc);
// Top-left corner that centres a window of the size over owner when owner is visible and has an
// area, else on the primary monitor's work area.
POINT Creditpane_CentreOver(HWND owner, int width, int height);

#endif
