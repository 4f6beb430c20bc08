// Streaming text into and out of a rich-edit field, and reading its selection.  The read
// callback never reads beyond the caller's text; the write callback never writes beyond the block,
// which is sized by a first pass in the very format asked for.
#include "widgetry.h"
#include "widgetry_int.h"

#include <string.h>

// A bounded piece of memory that the callbacks walk through.
struct StreamCursor {
    BYTE *data;       // null for the counting pass
    LONG size;        // bytes the callback may read or write
    LONG position;
    bool overflow;    // the field offered more than the block holds
};

static DWORD CALLBACK ReadPiece(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG *given)
{
    StreamCursor *c = (StreamCursor *)cookie;
    LONG n = c->size - c->position;
    if (n > wanted) n = wanted;
    if (n < 0) n = 0;
    memcpy(buffer, c->data + c->position, n);
    c->position += n;
    *given = n;
    return 0;
}

static DWORD CALLBACK CountPiece(DWORD_PTR cookie, LPBYTE buffer, LONG offered, LONG *taken)
{
    (void)buffer;
    StreamCursor *c = (StreamCursor *)cookie;
    c->position += offered;
    *taken = offered;
    return 0;
}

static DWORD CALLBACK WritePiece(DWORD_PTR cookie, LPBYTE buffer, LONG offered, LONG *taken)
{
    StreamCursor *c = (StreamCursor *)cookie;
    LONG n = c->size - c->position;
    if (n > offered) n = offered;
    memcpy(c->data + c->position, buffer, n);
    c->position += n;
    *taken = n;
    if (n < offered) {
        c->overflow = true;
        return 1;   // ends the stream
    }
    return 0;
}

static LONG TextLength(const char *text, int length, UINT format)
{
    if (length >= 0) return length;
    if (format & SF_UNICODE) {
        const WCHAR *wide = (const WCHAR *)text;
        LONG n = 0;
        while (wide[n]) n++;
        return n * 2;
    }
    return (LONG)strlen(text);
}

extern "C" LONG WINAPI Widgetry_StreamInRichEdit(HWND field, UINT format, const char *text, int length)
{
    if (!field) return 0;
    SendMessageA(field, WM_VSCROLL, SB_TOP, 0);
    StreamCursor c = {(BYTE *)text, text ? TextLength(text, length, format) : 0, 0, false};
    EDITSTREAM stream = {(DWORD_PTR)&c, 0, ReadPiece};
    return (LONG)SendMessageA(field, EM_STREAMIN, format, (LPARAM)&stream);
}

// True when there is nothing to stream: an empty field, or an empty selection with SFF_SELECTION.
static bool NothingToStream(HWND field, UINT format)
{
    if (format & SFF_SELECTION) {
        CHARRANGE selection = {0, 0};
        SendMessageA(field, EM_EXGETSEL, 0, (LPARAM)&selection);
        return selection.cpMin == selection.cpMax;
    }
    GETTEXTLENGTHEX length = {GTL_NUMCHARS, CP_ACP};
    LRESULT chars = SendMessageA(field, EM_GETTEXTLENGTHEX, (WPARAM)&length, 0);
    if (chars < 0) chars = GetWindowTextLengthA(field);
    return chars == 0;
}

extern "C" char *WINAPI Widgetry_StreamOutRichEdit(HWND field, UINT format)
{
    if (!field || NothingToStream(field, format)) return nullptr;
    StreamCursor count = {nullptr, 0, 0, false};
    EDITSTREAM counting = {(DWORD_PTR)&count, 0, CountPiece};
    SendMessageA(field, EM_STREAMOUT, format, (LPARAM)&counting);
    if (count.position <= 0) return nullptr;
    // Two zero bytes after the text end it in any format, 16-bit text included.
    char *block = (char *)LocalAlloc(LPTR, count.position + 2);
    if (!block) return nullptr;
    StreamCursor out = {(BYTE *)block, count.position, 0, false};
    EDITSTREAM writing = {(DWORD_PTR)&out, 0, WritePiece};
    SendMessageA(field, EM_STREAMOUT, format, (LPARAM)&writing);
    return block;
}

extern "C" int WINAPI Widgetry_GetRichEditSel(HWND field, char *buffer)
{
    if (!field) return 0;
    CHARRANGE selection = {0, 0};
    SendMessageA(field, EM_EXGETSEL, 0, (LPARAM)&selection);
    LONG chars = selection.cpMax - selection.cpMin;
    if (chars < 0) chars = 0;
    if (buffer) {
        buffer[0] = 0;
        if (chars > 0) SendMessageA(field, EM_GETSELTEXT, 0, (LPARAM)buffer);
    }
    return 2 * chars;
}
