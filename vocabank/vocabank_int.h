// Word manager: what the command and editor sources share.
#ifndef VOCABANK_INT_H
#define VOCABANK_INT_H

#include <windows.h>
#include "vocabank.h"

extern HINSTANCE g_vocabankModule;

// The catalogue record of a dictionary's file; false for an unknown dictionary.
bool Vb_DicInfo(DWORD dicId, DicInfo *info);
// A user dictionary (kind 2) whose file the engine may write.
bool Vb_IsWritableUserDic(DWORD dicId);
// Full path of KEYDRILL.EXE beside the running program; whether it exists.
bool Vb_DrillPath(char *path);
// Starts KEYDRILL.EXE from the program's folder; true when it started.
bool Vb_StartDrill(void);

// Editor window class (registered at load, removed at unload).
bool Vb_RegisterEditorClass(void);
void Vb_UnregisterEditorClass(void);

#endif
