// What the editor library's own files share: the document model (lines of character cells and
// the attribute table), the measurer behind which fonts and text extents sit, the tagged-text and
// RTF converters, document files, the layout and the scrolling arithmetic.  Nothing here calls
// window functions except the GDI measurer (measure.cpp), so the model, the converters and the
// layout run headless with the fixed measurer.
//
// The window half of the editor: window.cpp (class, per-window state kept in GWLP_USERDATA from
// WM_NCCREATE, creation data, the message table), edit.cpp and undo.cpp (editing and the one-level
// undo), clipboard.cpp, ime.cpp, caret.cpp (positions, caret keys, mouse), paint.cpp and print.cpp,
// menu.cpp (context menu), scrollbar.cpp (custom-drawn scroll bars) and flatsb.cpp (the system's
// flat bars); exports_window.cpp holds the load routine and the window exports (window.def).  It
// creates the document with ScrivelDoc_Create and ScrivelMeasure_NewGdi at the first WM_SIZE,
// keeps caret and selection as ScrivelPos and hands them to the re-wraps so that they follow
// their paragraph place, and turns scroll messages into ScrivelScroll_ calls.  Line records are
// the unit of undo snapshots (ScrivelLine_Copy) and of inserted text (ScrivelTag_Read appends
// lines that the caller moves into place).
#ifndef SCRIVEL_INT_H
#define SCRIVEL_INT_H

#include "recordcheck.h"
#include <windows.h>
#include <cstddef>
#include "scrivel.h"

// ---- Result codes of the editor's operations ----------------------------------------------------
enum {
    SCRIVEL_OK = 0,
    SCRIVEL_E_EMPTY = -1,       // empty document, empty or invalid range, no text given
    SCRIVEL_E_TABLE_FULL = -2,  // attribute table full
    SCRIVEL_E_LINES = -3,       // line array failed to grow
    SCRIVEL_E_FONT = -4,        // font failed to be created
    SCRIVEL_E_OPEN = -5,        // file failed to open, or its size to be read
    SCRIVEL_E_READ = -6,        // file failed to be read
    SCRIVEL_E_MEMORY = -11,     // out of memory
    SCRIVEL_E_CREATE = -12,     // file failed to be created
    SCRIVEL_E_WRITE = -13,      // file failed to be written
};

enum {
    SCRIVEL_FORMAT_TAGGED = 1,
    SCRIVEL_FORMAT_RTF = 2,
};

// Window style bits of an editor that the model looks at.
enum {
    SCRIVEL_WS_PLAIN = 0x20,     // keep only charset tags of loaded text
    SCRIVEL_WS_READONLY = 0x40,  // read-only, starts with word wrap on
    SCRIVEL_WS_TOPCLAMP = 0x80,
    SCRIVEL_WS_COOLSB = 0x100,
};

constexpr int kScrivelMaxAttributes = 60000;
constexpr int kScrivelMaxLineCells = 60000;  // the reader's line buffer and the longest line
constexpr int kScrivelInitialLines = 2000;
constexpr int kScrivelObjectWidth = 16;
constexpr int kScrivelAttrBuckets = 4096;
constexpr int kScrivelNoWrapWidth = 100000;

// ---- Records ---------------------------------------------------------------------------------------

// One visible unit of text: a character of the attribute's charset (one byte, or lead and trail
// byte) followed by 0 bytes.  A tab cell has attribute 1 and no character; an inline object cell
// (attribute type 3) has no character and width 16.
struct CharCell {
    WORD attr;
    WORD width;
    char ch[4];
};
static_assert(sizeof(CharCell) == 8, "character cell is 8 bytes");

enum {
    SCRIVEL_LINE_PARAEND = 0x01,  // a hard line break follows this line
    SCRIVEL_LINE_HIDDEN = 0x02,   // folded away
};
enum {
    SCRIVEL_MARK_NONE = 0,
    SCRIVEL_MARK_EXPANDED = 1,
    SCRIVEL_MARK_COLLAPSED = 2,
};

struct LineRecord {
    CharCell *cells;  // owned, count entries (null when count is 0)
    WORD count;
    WORD ascent;
    WORD descent;
    WORD height;  // ascent + descent + 1
    BYTE level;
    BYTE marker;
    BYTE flags;
    BYTE reserved;
    LONG visibleIndex;
};
RECORD_CHECK_X86(sizeof(LineRecord) == 20, "line record is 20 bytes");

// Fonts and text extents.  The document owns its measurer and releases it when destroyed.
struct ScrivelMeasurer {
    // Makes the font of a text attribute with the given LOGFONT height and face; gives its
    // ascent and descent.  1 done, 0 failed.
    int (*makeFont)(ScrivelMeasurer *self, const TextAttribute *attr, int height, const char *face,
                    HFONT *font, int *ascent, int *descent);
    void (*freeFont)(ScrivelMeasurer *self, HFONT font);
    // Cumulative extents of count bytes of one run in the attribute's font: dx[i] is the extent
    // after byte i (both bytes of a double-byte character carry its extent).  1 done, 0 failed.
    int (*measureRun)(ScrivelMeasurer *self, const TextAttribute *attr, const char *bytes,
                      int count, int *dx);
    void (*release)(ScrivelMeasurer *self);
    int dpiX;           // pixels per inch across
    int dpiY;           // pixels per inch down
    int guiFontHeight;  // height of the default GUI font (its cell height), pixels
    HDC dc;             // the measuring dc of the GDI measurer, else null
};

// A measurer that creates real fonts on a memory dc compatible with the screen.  Null when no dc
// can be made.
ScrivelMeasurer *ScrivelMeasure_NewGdi(void);
// A headless measurer: every byte is unitWidth pixels wide (a double-byte character two units),
// a font of height h has ascent |h| * 4 / 5 and descent |h| - ascent.  failFontAfter >= 0 makes
// font creation fail after that many fonts were made (for tests).
ScrivelMeasurer *ScrivelMeasure_NewFixed(int unitWidth, int failFontAfter);

// The document of one editor window.
struct EditorDocument {
    LineRecord **lines;
    int lineCount;
    int lineCapacity;
    int *visibleMap;  // line numbers of the shown lines, lineCapacity entries
    int visibleCount;
    TextAttribute **attrs;  // kScrivelMaxAttributes slots; 0 default text, 1 tab
    int attrCount;
    int *attrHashHeads;  // kScrivelAttrBuckets chains of equal-hash slots, -1 ends a chain
    int *attrHashNext;   // per slot
    int topLine;
    int hOffset;
    int widest;
    int tabWidth;
    int indentPerLevel;
    int marginLeft, marginTop, marginRight, marginBottom;
    int fontHeights[5];
    int sizeBase;
    int outlineDepth;
    int wrap;       // 1 wrapping at wrapWidth
    int wrapWidth;  // the width of the last wrap
    UINT style;     // window style bits (SCRIVEL_WS_)
    int sansDefault;  // 1 when the window is of the editor's own class
    LANGID langId;    // the system language the default attributes come from
    ScrivelMeasurer *measurer;
    char name[MAX_PATH];
    int format;
};

struct ScrivelDocParams {
    UINT style;
    int sansDefault;
    LANGID langId;  // 0: the system's default language
    ScrivelMeasurer *measurer;  // handed over to the document (released on failure too)
};

// A position in the document: before cell (after 0) or after it (after 1).
struct ScrivelPos {
    int line;
    int cell;
    int after;
};
// The same position as paragraph number and cell offset inside the paragraph; it survives a
// re-wrap.
struct ScrivelParaPos {
    int paragraph;
    int offset;
};

// ---- Document model (model.cpp, lines.cpp) ------------------------------------------------------
int ScrivelDoc_Create(const ScrivelDocParams *params, EditorDocument **out);
void ScrivelDoc_Destroy(EditorDocument *doc);
// Frees lines and attributes, then interns the default attributes again.
int ScrivelDoc_Clear(EditorDocument *doc);
int ScrivelDoc_InternDefaults(EditorDocument *doc);
// Index of an equal attribute, or a new slot; SCRIVEL_E_TABLE_FULL, _FONT or _MEMORY.
int ScrivelDoc_Intern(EditorDocument *doc, const TextAttribute *attr);
int ScrivelAttr_Equal(const TextAttribute *a, const TextAttribute *b);
// Frees the texts an attribute owns (not its font).
void ScrivelAttr_FreeTexts(TextAttribute *attr);
// Language code of a charset (0 -> 256, 52 and 128 -> 1024, ...; 0 for others).
WORD ScrivelLang_FromCharset(int charset);
// Editor language code of a system language id.
WORD ScrivelLang_FromLangId(LANGID id);
// System language id of an editor language code (0 when unknown).
int ScrivelLang_ToLangId(WORD code);
// Size step clamped to 1..5.
int ScrivelAttr_Step(const TextAttribute *attr);
// The face the attribute's font asks for ("" for none).
const char *ScrivelAttr_Face(const TextAttribute *attr);
void ScrivelDoc_ComputeHeights(EditorDocument *doc);
// New font heights for size base 1..5: every font made again, lines measured, and re-wrapped
// when wrapping (keep: positions that follow their paragraph place).
int ScrivelDoc_SetSizeBase(EditorDocument *doc, int base, ScrivelPos *keep, int keepCount);
int ScrivelDoc_SetDefaultFont(EditorDocument *doc, int charset, int sizeStep);
void ScrivelDoc_MeasureLine(EditorDocument *doc, int line);
// The attribute that typing at a position takes: the cell before it (the first cell at a line
// start), else the nearest text attribute before it, else after it, else slot 0.
int ScrivelDoc_TypingAttr(const EditorDocument *doc, const ScrivelPos *pos);
int ScrivelDoc_LineWidth(const EditorDocument *doc, int line);

// Line arrays.  A new line record with a copy of count cells.
LineRecord *ScrivelLine_New(const CharCell *cells, int count, BYTE level, BYTE flags);
void ScrivelLine_Free(LineRecord *line);
// Makes room for n lines at position (the new entries are null); grows the arrays when needed.
int ScrivelDoc_InsertLines(EditorDocument *doc, int position, int n);
void ScrivelDoc_DeleteLines(EditorDocument *doc, int position, int n);
int ScrivelDoc_AppendLine(EditorDocument *doc, LineRecord *line);
// Splits line at cell: the first part keeps the cells before it and loses the paragraph end.
int ScrivelDoc_SplitLine(EditorDocument *doc, int line, int cell);
// Joins line and line + 1 (the result takes the second line's paragraph end).  SCRIVEL_E_EMPTY
// when the joined line would pass the longest line.
int ScrivelDoc_JoinLines(EditorDocument *doc, int line);
LineRecord *ScrivelLine_Copy(const LineRecord *line);

// Paragraph positions.
void ScrivelDoc_ToParaPos(const EditorDocument *doc, const ScrivelPos *pos, ScrivelParaPos *out);
void ScrivelDoc_FromParaPos(const EditorDocument *doc, const ScrivelParaPos *pp, ScrivelPos *out);

// ---- Tagged text (tagread.cpp, tagwrite.cpp, tagstrip.cpp) ---------------------------------------
// Appends the lines of tagged text; the number of lines added, or SCRIVEL_E_LINES / _MEMORY.
int ScrivelTag_Read(EditorDocument *doc, const char *text, int length, int startAttr);
// A range of cells: from firstCell of firstLine to lastCell of lastLine inclusive (lastCell -1:
// the range ends before the first cell of lastLine).
struct ScrivelRange {
    int firstLine, lastLine, firstCell, lastCell;
};
void ScrivelDoc_WholeRange(const EditorDocument *doc, ScrivelRange *range);
// The owned buffer (free with ScrivelMem_Free) and its length counting the final 0.
int ScrivelTag_Write(const EditorDocument *doc, const ScrivelRange *range, char **out, int *length);
int ScrivelTag_WriteWide(const EditorDocument *doc, const ScrivelRange *range, WCHAR **out,
                         int *count);
// Strippers and prefixer: out may be null; the length with the final 0.
int ScrivelTag_StripAll(const char *text, char *out, int keepLineEnds);
int ScrivelTag_StripToCharset(const char *text, char *out, int keepLineEnds);
int ScrivelTag_FromPlain(const char *text, char *out);
// Length of the tag at text[0] (ESC or FS) within length bytes, 0 when malformed.
int ScrivelTag_Length(const char *text, int length);

void *ScrivelMem_Alloc(size_t size);
void *ScrivelMem_Realloc(void *block, size_t size);
void ScrivelMem_Free(void *block);
char *ScrivelMem_Strdup(const char *text);
// Fails the n-th allocation from now (n >= 1), 0 turns the fault off.  For tests.
void ScrivelMem_FailAfter(int n);

// ---- RTF (rtfread.cpp, rtfwrite.cpp) -----------------------------------------------------------
int ScrivelRtf_ToTagged(const char *rtf, char *out);
int ScrivelRtf_Write(EditorDocument *doc, const ScrivelRange *range, char **out, int *length);

// ---- Document files (files.cpp) ----------------------------------------------------------------
int ScrivelDoc_LoadFile(EditorDocument *doc, const char *path, int format);
int ScrivelDoc_SaveFile(EditorDocument *doc, const char *path, int format);
int ScrivelDoc_SaveRange(EditorDocument *doc, const ScrivelRange *range, const char *path,
                         int format);
// Replaces the document by tagged text (LF bytes dropped): lines read or a reader error.
int ScrivelDoc_SetText(EditorDocument *doc, const char *text);

// ---- Layout (wrap.cpp, breaks.cpp, outline.cpp, hittest.cpp) ------------------------------------
enum {
    SCRIVEL_BREAK_AFTER = 1,   // a line may break after it
    SCRIVEL_BREAK_NOEND = 2,   // a line may not end with it
    SCRIVEL_BREAK_NOSTART = 4, // a line may not start with it
};
int ScrivelBreak_Class(int charset, const char *ch);
// Break index of cells[0..count) laid out from x0 within limit.
int ScrivelBreak_Index(const EditorDocument *doc, const CharCell *cells, int count, int x0,
                       int limit);
void ScrivelLayout_SetIndent(EditorDocument *doc, int width);
// Re-wraps every line at width (wrapping off: kScrivelNoWrapWidth); keep holds positions (caret,
// selection ends) that follow their paragraph place; the top line does too.
int ScrivelLayout_WrapAll(EditorDocument *doc, int width, ScrivelPos *keep, int keepCount);
// Re-wraps from line first to the end of the paragraph that holds line last.
int ScrivelLayout_WrapFrom(EditorDocument *doc, int width, int first, int last, ScrivelPos *keep,
                           int keepCount);
void ScrivelLayout_SetWrap(EditorDocument *doc, int on, int clientWidth, ScrivelPos *keep,
                           int keepCount);
void ScrivelLayout_UpdateVisible(EditorDocument *doc);
void ScrivelLayout_UpdateMarkers(EditorDocument *doc);
void ScrivelLayout_SetDepth(EditorDocument *doc, int depth);
void ScrivelLayout_ToggleMarker(EditorDocument *doc, int line);
int ScrivelLayout_LineLeft(const EditorDocument *doc, int line);
// The marked line whose marker area (the 24 pixels left of its left edge) holds the point, or -1.
int ScrivelLayout_MarkerAt(const EditorDocument *doc, int x, int y);
// Point (client coordinates) -> position; 0 when the document has no shown line.
int ScrivelLayout_HitTest(const EditorDocument *doc, int x, int y, ScrivelPos *out);
// Position -> caret point (top of the line); 0 when the line is hidden or out of range.
int ScrivelLayout_CaretPoint(const EditorDocument *doc, const ScrivelPos *pos, POINT *out);

// ---- Scrolling (scroll.cpp) --------------------------------------------------------------------
// The line that starts the last page: the earliest shown line from which the shown lines down to
// the last one fit into the client height.
int ScrivelScroll_LastPageTop(const EditorDocument *doc, int clientHeight);
// The number of shown lines that fit when the last one is at the bottom.
int ScrivelScroll_PageLines(const EditorDocument *doc, int clientHeight);
// The vertical bar in shown lines: 0 to shown count - 1, page, position of the top line.
void ScrivelScroll_VInfo(const EditorDocument *doc, int clientHeight, int *minimum, int *maximum,
                         int *page, int *position);
// Applies an SB_ code of the vertical bar to the top line (thumb: a shown-line index); returns the
// new top line.  With SCRIVEL_WS_TOPCLAMP the top line never passes the last-page top.
int ScrivelScroll_Vertical(EditorDocument *doc, int code, int thumb, int clientHeight);
// The horizontal bar in pixels: maximum, page (the client width) and whether it is shown.
void ScrivelScroll_HInfo(const EditorDocument *doc, int clientWidth, int *maximum, int *page,
                         int *shown);
// Applies an SB_ code of the horizontal bar to the offset (kept in 0 .. maximum - page - 1).
int ScrivelScroll_Horizontal(EditorDocument *doc, int code, int thumb, int clientWidth);


// ---- Editor window (window.cpp and the files named below) ----------------------------------------
enum {
    SCRIVEL_EXSTYLE_NOENTER = static_cast<int>(0x80000000u),  // Enter alone inserts no break
};
enum {
    SCRIVEL_UNDO_TYPING = 1,
    SCRIVEL_UNDO_DELETE,
    SCRIVEL_UNDO_NEWLINE,
    SCRIVEL_UNDO_DELSEL,
    SCRIVEL_UNDO_PASTE,
    SCRIVEL_UNDO_ATTRIBUTE,
};
constexpr UINT kScrivelDragTimer = 140;

// Handed to the window through CreateWindowEx's creation data; the signature tells it from the
// data of windows created by class name.
constexpr DWORD kScrivelCreateSignature = 0x5C7E0A10;
struct ScrivelCreateParams {
    DWORD signature;
    DWORD exStyle;
    DWORD style;
    ScrivelNotifyCallback callback;
    DWORD menuMask;
};

struct ScrivelSelection {
    int present;
    ScrivelPos start, end, anchor;
};

// One level of undo: copies of the lines first .. first + count - 1 as they were before the edit;
// after the edit the region ends tail lines before the end of the document.
struct ScrivelUndo {
    int present;
    int open;  // taken, edit not finished yet
    int kind;
    int first;
    LineRecord **lines;
    int count;
    int tail;
    ScrivelPos caret;
    ScrivelSelection sel;
};

struct ScrivelWindow {
    HWND hwnd;
    EditorDocument *doc;  // made at the first WM_SIZE (or the first message that needs it)
    ScrivelPos caret;
    ScrivelSelection sel;
    TextAttribute typing;
    ScrivelUndo undo;
    int dragging, dragTimer, hLimit;
    int desiredX, haveDesired, endFlag;
    HDC backDc;
    HBITMAP backBmp, backOld;
    int backW, backH;
    HBRUSH bgBrush;
    DWORD exStyle, style;
    ScrivelNotifyCallback callback;
    DWORD menuMask;
    UINT cfPrivate, cfRtf;
    COLORREF custom[16];
    int hasFocus;
    int leadByte;  // a lead byte waiting for its trail (WM_CHAR), -1 none
    int imeCharset;  // charset of a character the input method gives, -1 none
    int coolSb;
};

// Window class and state (window.cpp).
int ScrivelWin_Register(HINSTANCE inst);
void ScrivelWin_Unregister(HINSTANCE inst);
HWND ScrivelWin_Create(const ScrivelCreateParams *cp, int x, int y, int width, int height,
                       HWND parent, HMENU menu);
ScrivelWindow *ScrivelWin_Get(HWND hwnd);
EditorDocument *ScrivelWin_Doc(ScrivelWindow *w);
void ScrivelWin_Notify(ScrivelWindow *w, int code, void *data);
void ScrivelWin_NotifyInt(ScrivelWindow *w, int code, int value);
int ScrivelWin_ClientWidth(ScrivelWindow *w);
int ScrivelWin_ClientHeight(ScrivelWindow *w);
// The width the document wraps at: the client width when wrapping, else the no-wrap width.
int ScrivelWin_WrapWidth(ScrivelWindow *w);
void ScrivelWin_UpdateScrollBars(ScrivelWindow *w);
void ScrivelWin_Repaint(ScrivelWindow *w);
void ScrivelWin_ReadTyping(ScrivelWindow *w, int report);
void ScrivelWin_SetSelection(ScrivelWindow *w, int present, const ScrivelPos *a, const ScrivelPos *b);
extern HINSTANCE g_scrivelInstance;

// Positions (caret.cpp).
int ScrivelPos_Index(const ScrivelPos *p);  // cell + after: 0 .. count
ScrivelPos ScrivelPos_Make(const EditorDocument *doc, int line, int index);
int ScrivelPos_Compare(const ScrivelPos *a, const ScrivelPos *b);
void ScrivelPos_Clamp(const EditorDocument *doc, ScrivelPos *p);
// The selection as a range of cells; 0 without a selection.
int ScrivelSel_Range(const ScrivelWindow *w, ScrivelRange *r);
void ScrivelCaret_Place(ScrivelWindow *w);
void ScrivelCaret_MakeVisible(ScrivelWindow *w, int homeEnd);
int ScrivelCaret_Key(ScrivelWindow *w, UINT vk, int shift, int ctrl);
void ScrivelMouse_Down(ScrivelWindow *w, int x, int y);
void ScrivelMouse_Move(ScrivelWindow *w, int x, int y);
void ScrivelMouse_Up(ScrivelWindow *w);
void ScrivelMouse_Timer(ScrivelWindow *w);
int ScrivelMouse_SetCursor(ScrivelWindow *w);

// Editing (edit.cpp) and undo (undo.cpp).  Edits return 1 done, 0 nothing changed.
int ScrivelEdit_InsertChar(ScrivelWindow *w, const char *bytes, int charset);
int ScrivelEdit_Backspace(ScrivelWindow *w);
int ScrivelEdit_Delete(ScrivelWindow *w);
int ScrivelEdit_LineBreak(ScrivelWindow *w);
int ScrivelEdit_DeleteSelection(ScrivelWindow *w, int kind);
// Inserts tagged text at the caret (kind 0: no undo snapshot; the selection is deleted first).
int ScrivelEdit_InsertTagged(ScrivelWindow *w, const char *text, int startAttr, int kind);
int ScrivelEdit_ApplyAttribute(ScrivelWindow *w, const TextAttribute *changed);
int ScrivelEdit_SetText(ScrivelWindow *w, const char *text);
void ScrivelEdit_AfterDocChange(ScrivelWindow *w);
void ScrivelEdit_Rewrap(ScrivelWindow *w, int first, int last);
// Snapshot of the lines that an edit of lines first..last may touch.  0 when out of memory.
int ScrivelUndo_Begin(ScrivelWindow *w, int kind, int first, int last);
void ScrivelUndo_End(ScrivelWindow *w);
void ScrivelUndo_Drop(ScrivelWindow *w, int report);
int ScrivelUndo_Apply(ScrivelWindow *w);

// Clipboard (clipboard.cpp).
int ScrivelClip_Copy(ScrivelWindow *w);
int ScrivelClip_Paste(ScrivelWindow *w);
int ScrivelClip_CanPaste(ScrivelWindow *w);
// Tagged text of Unicode text: the first candidate code page that needs no default character,
// else the one with the fewest '?'.  Owned buffer, null when no code page converts it.
char *ScrivelClip_FromUnicode(const WCHAR *text, int *charset);
// The text of a private clipboard block of size bytes, or null when the block is malformed.
char *ScrivelClip_PrivateText(const BYTE *block, size_t size);

// Input method (ime.cpp).
void ScrivelIme_ThreadStart(void);
void ScrivelIme_Shutdown(void);
int ScrivelIme_Active(void);
LRESULT ScrivelIme_DefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void ScrivelIme_PlaceWindow(ScrivelWindow *w, int x, int y);
LRESULT ScrivelIme_OnStartComposition(ScrivelWindow *w, WPARAM wp, LPARAM lp);
LRESULT ScrivelIme_OnComposition(ScrivelWindow *w, WPARAM wp, LPARAM lp);
int ScrivelIme_Translate(const MSG *msg);
// The charset and code page of the current keyboard layout.
int ScrivelIme_LayoutCharset(int *codePage);
int ScrivelIme_InsertResult(ScrivelWindow *w, const char *bytes, int charset);

// Painting and printing (paint.cpp, print.cpp).
void ScrivelPaint_OnPaint(ScrivelWindow *w);
void ScrivelPaint_RebuildBuffer(ScrivelWindow *w);
void ScrivelPaint_FreeBuffer(ScrivelWindow *w);
void ScrivelPaint_FreeImages(void);
// Draws the shown lines from the top line into rc of dc; with a selection unless printing;
// returns the line after the last one drawn.
int ScrivelPaint_Lines(EditorDocument *doc, HDC dc, const RECT *rc, int printing,
                       const ScrivelSelection *sel, HBRUSH bg);
int ScrivelPaint_To(ScrivelWindow *w, HDC dc, const RECT *rc);
// First lines of the pages of a document laid out for a page of pageHeight pixels (the margins
// of the document included); the page count, starts may be null.
int ScrivelPrint_Paginate(const EditorDocument *doc, int pageHeight, int *starts, int maxPages);
// Prints the document (the selection only when range is not null) onto a printer dc: pages with
// headers.  The number of pages printed, or a negative code.
int ScrivelPrint_ToDc(ScrivelWindow *w, HDC dc, const ScrivelRange *range, int startDoc);
int ScrivelPrint_Dialog(ScrivelWindow *w);
void ScrivelPrint_Header(HDC dc, const char *name, int page, int pages, int width, int left, int top);

// Context menu (menu.cpp).
HMENU ScrivelMenu_Build(ScrivelWindow *w);
void ScrivelMenu_Command(ScrivelWindow *w, UINT id);
void ScrivelMenu_Show(ScrivelWindow *w, int x, int y);

// Custom scroll bars (scrollbar.cpp): the geometry of one bar along its length.
struct ScrivelSbInfo {
    int minimum, maximum, page, position, trackPos;
};
struct ScrivelSbLayout {
    int arrow;       // length of each arrow
    int track;       // length between the arrows
    int thumb;       // thumb length (0: no thumb)
    int thumbOffset; // from the end of the first arrow
    int canScroll;
};
void ScrivelSb_Layout(const ScrivelSbInfo *si, int length, int arrowLen, int minThumb,
                      int arrowsDisabled, ScrivelSbLayout *out);
// Position of a thumb dragged to offset (0 .. track - thumb).
int ScrivelSb_PosFromOffset(const ScrivelSbInfo *si, const ScrivelSbLayout *lay, int offset);
int ScrivelSb_Install(HWND hwnd);
void ScrivelSb_Remove(HWND hwnd);
int ScrivelSb_SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO *si, BOOL redraw);
int ScrivelSb_GetScrollInfo(HWND hwnd, int bar, SCROLLINFO *si);
int ScrivelSb_ShowScrollBar(HWND hwnd, int bar, BOOL show);
int ScrivelSb_SetStyle(HWND hwnd, int bar, int style);
int ScrivelSb_SetSize(HWND hwnd, int bar, int length, int thickness);
int ScrivelSb_SetMinThumb(HWND hwnd, int bar, int length);
// The system's flat scroll bars (flatsb.cpp), with the standard bars when they are missing.
void ScrivelFlat_Init(HWND hwnd, int regularVertical);
void ScrivelFlat_Uninit(HWND hwnd);
int ScrivelFlat_SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO *si, BOOL redraw);
int ScrivelFlat_GetScrollInfo(HWND hwnd, int bar, SCROLLINFO *si);

#endif  // SCRIVEL_INT_H
