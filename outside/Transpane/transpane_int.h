// What the translation window's files share.
#ifndef TRANSPANE_INT_H
#define TRANSPANE_INT_H

#include <windows.h>
#include <string>

// A hand-over file of the temporary folder, whole, when it exists and is no larger than the
// window takes; false otherwise.
bool Transpane_ReadHandOver(const char *name, std::string *bytes);
// A delivered lookup request's text as wide text (in the code page of its charset) and its
// dictionary id; false when nothing came for the id.
bool Transpane_ReceiveRequest(LPARAM id, std::wstring *text, DWORD *dictionary);
// Bytes in a code page as wide text.
std::wstring Transpane_Wide(const std::string &bytes, UINT codePage);

#endif
