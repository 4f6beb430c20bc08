/* Hostlink: the capture client.  Asks the capture server program for the text, font, charset and
 * word under a screen point and hands it back in a CaptureRecord.
 *
 * The library keeps one data block shared by every process that loads it (the attach count, the
 * capture server's window and the answer record), so the server is started by the first attach on
 * the system and closed by the last detach.  Every operation is exported by ordinal only. */
#ifndef HOSTLINK_H
#define HOSTLINK_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- CaptureRecord ---------------------------------------------------------------------------
 * 2184 bytes, caller-owned, little-endian.  The same layout travels through window messages, a
 * copy-data answer and file mappings.  The caller sets size (2184), want mask and request flags. */
enum {
    CAPTURE_RECORD_SIZE = 2184,
    CAPTURE_TEXT_BYTES = 2048,

    /* want mask: which answer fields are copied into the caller's record */
    CAPTURE_WANT_TEXT = 0x01,
    CAPTURE_WANT_LINE_RECT = 0x02,
    CAPTURE_WANT_CHARSET = 0x04,
    CAPTURE_WANT_WORD_POS = 0x08,
    CAPTURE_WANT_FONT = 0x10,
    CAPTURE_WANT_POINT = 0x20,

    /* request flags; other bits (0x40 and more) pass to the server unchanged */
    CAPTURE_REQ_USE_POINT = 0x02,     /* use the point in the record instead of the cursor */
    CAPTURE_REQ_WINDOW_AT = 0x04,     /* put the window at the point into sourceWindow */
    CAPTURE_REQ_SERVER_SOURCE = 0x10, /* put the server's source window into sourceWindow */

    /* control kinds (controlKind), by the class of the window at the point */
    CAPTURE_KIND_MENU = 0x1,
    CAPTURE_KIND_BUTTON = 0x2,
    CAPTURE_KIND_LIST = 0x4,
    CAPTURE_KIND_CAPTION = 0x20,
    CAPTURE_KIND_DIALOG = 0x200,
    CAPTURE_KIND_OTHER = 0x8000,

    CAPTURE_NO_WORD = 0xFFFF          /* wordPos when the point is on no word */
};

#pragma pack(push, 4)
typedef struct CaptureRecord {
    uint32_t size;            /* 2184 */
    uint32_t wantMask;        /* CAPTURE_WANT_* */
    uint32_t requestFlags;    /* CAPTURE_REQ_* */
    uint32_t controlKind;     /* CAPTURE_KIND_*, set by the client */
    uint32_t restrictWindow1; /* 0 = none */
    uint32_t restrictWindow2; /* 0 = none */
    uint32_t sourceWindow;
    int32_t x;                /* screen point */
    int32_t y;
    char text[CAPTURE_TEXT_BYTES]; /* text of the line in the code page of the charset, zero-filled */
    uint32_t length;          /* characters of text; 0 when nothing was captured */
    LOGFONTA font;            /* 60 bytes, face name at 2116 */
    uint16_t charset;         /* Windows charset number of the text */
    uint16_t wordPos;         /* index of the character under the point, CAPTURE_NO_WORD for none */
    RECT lineRect;            /* rectangle of the text line (screen) */
    uint32_t caretPos;        /* caret answered by a multi-line edit of class MLEDIT, else 0 */
    uint32_t viewerValue;     /* filled only by the viewer control; left as the caller set it */
    uint8_t reserved[8];      /* zero */
} CaptureRecord;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA is 60 bytes");
static_assert(sizeof(CaptureRecord) == 2184, "CaptureRecord is 2184 bytes");
static_assert(offsetof(CaptureRecord, wantMask) == 4, "wantMask");
static_assert(offsetof(CaptureRecord, requestFlags) == 8, "requestFlags");
static_assert(offsetof(CaptureRecord, controlKind) == 12, "controlKind");
static_assert(offsetof(CaptureRecord, restrictWindow1) == 16, "restrictWindow1");
static_assert(offsetof(CaptureRecord, restrictWindow2) == 20, "restrictWindow2");
static_assert(offsetof(CaptureRecord, sourceWindow) == 24, "sourceWindow");
static_assert(offsetof(CaptureRecord, x) == 28, "x");
static_assert(offsetof(CaptureRecord, y) == 32, "y");
static_assert(offsetof(CaptureRecord, text) == 36, "text");
static_assert(offsetof(CaptureRecord, length) == 2084, "length");
static_assert(offsetof(CaptureRecord, font) == 2088, "font");
static_assert(offsetof(CaptureRecord, font.lfFaceName) == 2116, "face name");
static_assert(offsetof(CaptureRecord, charset) == 2148, "charset");
static_assert(offsetof(CaptureRecord, wordPos) == 2150, "wordPos");
static_assert(offsetof(CaptureRecord, lineRect) == 2152, "lineRect");
static_assert(offsetof(CaptureRecord, caretPos) == 2168, "caretPos");
static_assert(offsetof(CaptureRecord, viewerValue) == 2172, "viewerValue");
static_assert(offsetof(CaptureRecord, reserved) == 2176, "reserved");
#endif

/* ---- Attach and detach -----------------------------------------------------------------------
 * A process attaches before its first capture and detaches after its last.  The first attach on
 * the system starts the capture server (and waits up to a minute for its window); the last detach
 * closes it.  Both always answer 1. */

/* Creates this process's message window; starts the capture server when no process is attached. */
int WINAPI Hostlink_Attach(void);
/* Destroys this process's message window; closes the capture server when it was the last attach. */
int WINAPI Hostlink_Detach(void);

/* ---- Capture ---------------------------------------------------------------------------------
 * Fills the caller's record with the wanted fields of the text under the point (the record's point
 * with CAPTURE_REQ_USE_POINT, else the cursor).  1 when the record was filled; 0 when nothing was
 * captured, the window may not be captured, or a capture is already under way in this process (the
 * record is then left as it was). */
int WINAPI Hostlink_Capture(CaptureRecord *record);

/* ---- Class rules -----------------------------------------------------------------------------
 * Per process.  Kind 2: never capture in windows of that class; kind 1: capture with rule value 2.
 * Answers the new number of rows (the 1-based row), or 0 when the table is full (256 rows), the
 * kind is 0 or the name is null.  The name is cut to 63 characters and compared without case. */
int WINAPI Hostlink_AddClassRule(int kind, const char *className);

#ifdef __cplusplus
}
#endif

#endif /* HOSTLINK_H */
