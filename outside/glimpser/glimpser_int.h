// What the files of the capture server share.
#ifndef GLIMPSER_INT_H
#define GLIMPSER_INT_H

#include <windows.h>
#include <string>
#include "hostlink.h"
#include "hostlink_proto.h"

enum { GLIMPSE_PROBE_MS = 2000 };

// One line of text found at the point, before it becomes a CaptureRecord.
struct GlimpseLine {
    std::wstring text;   // the whole line as the window shows it
    RECT rect;           // the line's box in client coordinates of the window
    int textLeft;        // client x where the first character is drawn
    int hit;             // index of the character under the point, -1 when to be measured
    LOGFONTA font;
    bool found;          // a line lies under the point
};

// Sends a message that gives up on a hung window; 0 when it did not answer.
LRESULT Glimpse_Send(HWND w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT Glimpse_SendW(HWND w, UINT msg, WPARAM wp, LPARAM lp);
// The window's text in UTF-16.
std::wstring Glimpse_WindowText(HWND w);
// The logical font of the window, or the system font when it has none of its own.
void Glimpse_WindowFont(HWND w, LOGFONTA *out);

// Memory in the process that owns a window, for messages whose parameters are pointers; only a
// process of this program's pointer width is opened.  A block handed to a message or thread that
// did not finish in time may still be used there later: it is abandoned, never freed, and no
// further message is sent with it.
struct RemoteBlock {
    HANDLE process;
    char *base;
    SIZE_T size;
    bool abandoned;
};
bool Remote_Open(RemoteBlock *rb, HWND w, SIZE_T size);
bool Remote_Write(RemoteBlock *rb, SIZE_T offset, const void *data, SIZE_T n);
bool Remote_Read(RemoteBlock *rb, SIZE_T offset, void *data, SIZE_T n);
void Remote_Close(RemoteBlock *rb);
// Sends a message whose parameters point into the block (ANSI or Unicode form); 0 when it did not
// answer in time, which abandons the block.
LRESULT Remote_Send(RemoteBlock *rb, HWND w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT Remote_SendW(RemoteBlock *rb, HWND w, UINT msg, WPARAM wp, LPARAM lp);
// Sends a message from a thread started inside the window's own process, with lp pointing at
// a block there that the answer fills (up to room bytes, read back into out): no copy is made
// between the processes on the way.  False when that could not be done in time; the answer in
// result.
bool Remote_SendInside(HWND w, UINT msg, WPARAM wp, void *out, SIZE_T room, LRESULT *result);
// The logical font a window draws with (WM_GETFONT asked and the font read inside the window's
// own process); false when it has none or that could not be done.
bool Remote_WindowFont(HWND w, LOGFONTA *out);

// Starts a thread at start(param) in the window's process (start and param are addresses there);
// false when it could not run or did not end in time; its exit code in code.  A thread that is
// still running abandons the block it was given (uses, or null when it was given none).
bool Remote_Call(HWND w, void *start, void *param, DWORD *code, RemoteBlock *uses);
// The address in the window's process of a function or datum of ours (same module, same offset);
// null when that module is not loaded there.
void *Remote_AddressOf(HWND w, void *local);

// Reads the text a window draws itself under the screen point, by having it repaint while the
// text-drawing spy is armed in its process; false when nothing was drawn there.
bool Glimpse_SpyRead(HWND w, POINT screen, GlimpseLine *line);

// Pixel widths and heights of text in a font.
int Glimpse_TextWidth(const LOGFONTA *font, const std::wstring &text);
int Glimpse_LineHeight(const LOGFONTA *font);
// Index of the character whose cell holds x when the text starts at left; -1 when none does.
int Glimpse_CharAt(const LOGFONTA *font, const std::wstring &text, int left, int x);
// Splits text into the lines a word-wrapping draw of this width gives; starts of each line.
void Glimpse_WrapLines(const LOGFONTA *font, const std::wstring &text, int width, bool wrap,
                       std::wstring *lines, int maxLines, int *count);

// Readers by window class; each fills line for the client point pt, or leaves found false.
void Glimpse_ReadEdit(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadRichEdit(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadStatic(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadButton(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadListBox(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadComboBox(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadListView(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadTreeView(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadHeader(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadTab(HWND w, POINT pt, GlimpseLine *line);
void Glimpse_ReadOther(HWND w, POINT pt, GlimpseLine *line);

// Reads the window at the screen point into rec (text, length, font, charset, word, line).
void Glimpse_Capture(HWND w, POINT screen, CaptureRecord *rec);

#endif  // GLIMPSER_INT_H
