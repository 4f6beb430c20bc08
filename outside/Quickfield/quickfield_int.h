// What the files of the line-edit library share.
#ifndef QUICKFIELD_INT_H
#define QUICKFIELD_INT_H

#include <windows.h>

// The atom of the class "PPLINE" while it is registered, else 0.
extern ATOM g_quickfieldAtom;

// Window procedure of the class (a Unicode superclass of the edit control).
LRESULT CALLBACK Quickfield_FieldProc(HWND field, UINT msg, WPARAM wParam, LPARAM lParam);
// Registers the class on the first call, unregisters it when the last user has ended.
bool Quickfield_RegisterClass(HINSTANCE module);
void Quickfield_UnregisterClass(HINSTANCE module);

// True when window is a field of this library.
bool Quickfield_IsField(HWND window);

// Code page of a Windows charset (1252 for a charset without one of its own).
UINT Quickfield_CodePage(int charset);
// Charset of the system's ANSI code page (0 when it has none of its own).
int Quickfield_UiCharset();
// Number of bytes of text (in code page cp) that hold whole characters and fit in limit bytes.
int Quickfield_WholeCharBytes(UINT cp, const char *text, int length, int limit);

#endif
