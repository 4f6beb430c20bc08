/* Basekit: the common library of the suite.
 *
 * Settings storage (registry or one settings file), files and paths, shell folders and shortcuts,
 * window helpers, bitmaps, drawing helpers, dialogs, buttons, tooltips and the text codec.
 * Every operation is exported by ordinal only; results are 1/0, a count, a handle or a code as
 * stated per operation.  Buffers and handles: see each group. */
#ifndef BASEKIT_H
#define BASEKIT_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Settings storage ------------------------------------------------------------------------
 * Keys, sub-keys and named values (strings and 32-bit numbers) by text key path, stored either in
 * the current user's registry (the mode of every process at load) or in one settings file of INI
 * form (after Basekit_SettingsSetFile).  Relative paths look like
 * "SOFTWARE\Halvenstone\Velosuite\4.0\Dictionary"; the full form is the same path preceded by
 * "HKEY_LOCAL_MACHINE\".  The mode is process-wide.  A key path whose full form does not fit in
 * 260 bytes (relative part longer than 240 bytes) names no key: reads find nothing, writes fail.
 * Missing keys and values are never errors: reads answer 0, an empty buffer or a code. */

/* Switches the process to file mode with the given settings file, or back to registry mode (null). */
void WINAPI Basekit_SettingsSetFile(const char *path);
/* 1 in file mode with the path copied into buf (260 bytes, may be null); 0 in registry mode with buf emptied. */
int WINAPI Basekit_SettingsGetFile(char *buf);
/* Non-zero when the settings file exists; 0 otherwise, also when no path was ever set. */
int WINAPI Basekit_SettingsFileExists(void);

/* Reads by relative path; nothing is kept open between calls. */
/* 1 with the text in buf (always terminated within size); 0 when missing, with all size bytes zeroed.
 * An empty string reads as missing in file mode; a number reads as missing in registry mode. */
int WINAPI Basekit_SettingsReadString(const char *path, const char *name, char *buf, int size);
/* The stored 32-bit number; 0 when missing, stored as text, or shorter than 4 bytes. */
DWORD WINAPI Basekit_SettingsReadDword(const char *path, const char *name);
/* Writes by path in either form, creating the key when missing; non-zero on success, 0 on failure
 * (key cannot be created, file not writable, text or name that the file cannot hold).  A null or
 * empty name writes the default value; WriteDword needs a non-empty name. */
int WINAPI Basekit_SettingsWriteString(const char *path, const char *name, const char *text);
int WINAPI Basekit_SettingsWriteDword(const char *path, const char *name, DWORD value);
/* Sub-keys by full path: the count (0 when the key is missing), and the index-th name copied into
 * buf (260 bytes) with its length as result (0 when there is none).  File mode upper-cases names. */
int WINAPI Basekit_SettingsCountSubkeys(const char *fullPath);
int WINAPI Basekit_SettingsEnumSubkey(const char *fullPath, int index, char *buf);

/* An open key: a registry key in registry mode, a movable local-heap block holding the key's
 * section name in file mode.  Owned by the caller from open or create until Basekit_SettingsCloseKey;
 * close it in the mode it was opened in. */
typedef void *SettingsKey;

/* Creates (or opens) the key name below parent, or the relative path name when parent is null;
 * an existing key keeps its values.  Null on failure or when name is null. */
SettingsKey WINAPI Basekit_SettingsCreateKey(SettingsKey parent, const char *name);
/* Opens the key at path (either form); null when it does not exist. */
SettingsKey WINAPI Basekit_SettingsOpenKey(const char *path);
/* Closes the key; a null key is ignored. */
void WINAPI Basekit_SettingsCloseKey(SettingsKey key);
/* Number of direct sub-keys of the key. */
int WINAPI Basekit_SettingsKeyCountSubkeys(SettingsKey key);
/* Opens the index-th sub-key and copies its name into buf (260 bytes); null when there is none. */
SettingsKey WINAPI Basekit_SettingsOpenSubkey(SettingsKey key, int index, char *buf);
/* Reads a value into buf (260 bytes): 0 on success with *type (may be null) set to REG_SZ (text,
 * terminated) or REG_DWORD (4 bytes); otherwise a code: the registry's error in registry mode,
 * 3 (missing) or 6 (bad handle) in file mode. */
LONG WINAPI Basekit_SettingsQueryValue(SettingsKey key, const char *name, DWORD *type, void *buf);
/* Sets a value: REG_DWORD takes a pointer to the number, other types a terminated text.  0 on
 * success, else a code; file mode accepts only REG_SZ and REG_DWORD (else 11, nothing written),
 * answers 87 for a name or text that the file cannot hold and 6 for a bad handle.  A null or
 * empty name is the default value. */
LONG WINAPI Basekit_SettingsSetValue(SettingsKey key, const char *name, DWORD type, const void *data);
/* Deletes the key name below parent (or the relative path name).  0 on success, else a code.
 * In file mode only the key's own section goes; its sub-keys stay. */
LONG WINAPI Basekit_SettingsDeleteKey(SettingsKey parent, const char *name);
/* Number of values of the key, and the index-th value name copied into buf (260 bytes) with its
 * length as result (0 when there is none).  File mode lists the default value as "@". */
int WINAPI Basekit_SettingsCountValues(SettingsKey key);
int WINAPI Basekit_SettingsEnumValue(SettingsKey key, int index, char *buf);
/* Deletes a value: the registry's result in registry mode; in file mode 0 (also when it was not
 * there), or a code when the file cannot be written. */
LONG WINAPI Basekit_SettingsDeleteValue(SettingsKey key, const char *name);

/* Direct registry helpers, whatever the mode.  Returned keys are the caller's to RegCloseKey. */
/* Number of sub-keys of an open key; 0 when the query fails. */
int WINAPI Basekit_RegCountSubkeys(HKEY key);
/* The index-th sub-key opened with KEY_READ, its name in buf (256 bytes); null when none or not openable. */
HKEY WINAPI Basekit_RegOpenSubkeyByIndex(HKEY key, int index, char *buf);
/* 1 with the default value of key\subPath in buf (256 bytes, emptied when the value is missing or
 * not text); 0 when the sub-key cannot be opened. */
int WINAPI Basekit_RegReadValue(HKEY key, const char *subPath, char *buf);
/* Copies the tree at the relative path from HKEY_LOCAL_MACHINE to HKEY_CURRENT_USER, adding only
 * the values that are missing there.  1 when copied; 0 for an empty path, a missing source or a
 * destination that cannot be created. */
int WINAPI Basekit_RegCopyMachineToUser(const char *path);
/* Copies a key tree onto the destination (created when missing), adding missing sub-keys and
 * values and keeping every value already there; the source key's own values only when
 * copyOwnValues is non-zero.  1 when walked; 0 when the source cannot be opened or the
 * destination cannot be created. */
int WINAPI Basekit_CopyRegistryTree(HKEY srcRoot, const char *srcPath, HKEY dstRoot,
                                    const char *dstPath, int copyOwnValues);

/* Joins path (a 260-byte buffer) and name with a single backslash: a backslash is added unless
 * the path's last character is one (a double-byte character's trail byte does not count under
 * code pages 932 and 950); an empty path yields just the name.  Returns path, or null with path
 * emptied when the result would not fit in 260 bytes. */
char *WINAPI Basekit_PathAppend(char *path, const char *name);

/* ---- end of settings storage ---- */

/* ---- Files and paths -------------------------------------------------------------------------
 * Paths are zero-terminated multi-byte texts of at most 260 bytes (MAX_PATH) with backslashes
 * between components; buffers that receive a path hold 260 bytes.  Under the ANSI code pages 932
 * and 950 the path operations step over double-byte characters, so a trail byte 0x5C is never
 * taken for a backslash; under other code pages they work byte by byte.  Nothing keeps state
 * between calls and nothing shows a message. */

/* The backslash that ends the component after text's start (one leading backslash is skipped
 * first); null when the text ends first.  Points into text. */
char *WINAPI Basekit_PathNextComponent(const char *text);
/* The last backslash of path; null when it has none.  Points into path. */
char *WINAPI Basekit_PathFindFileName(const char *path);
/* Replaces everything after the last backslash of path (a 260-byte buffer) by name; without a
 * backslash the whole text becomes name.  A name that does not fit is cut at a whole character.
 * Returns path. */
char *WINAPI Basekit_PathReplaceFileName(char *path, const char *name);
/* Sets the extension of the last component of path (a 260-byte buffer): everything after its
 * last dot becomes extension (given with or without a leading dot); without a dot in the last
 * component a dot and the extension are appended.  Dots in folder names are never touched.
 * Cut at a whole character when it does not fit.  Returns path. */
char *WINAPI Basekit_PathSetExtension(char *path, const char *extension);

/* Progress of a copy: called with each new percentage (0 to 100, each at most once) and with -1
 * when the copy is over.  Answering 0 stops the copy; set the last error to ERROR_CANCELLED first
 * to end it at once without the closing -1 call. */
typedef int(CALLBACK *BasekitCopyProgress)(int percent, void *context);

/* Copies source to target.  1 on success with the last error 0.  0 on failure with the last error
 * set: ERROR_FILE_EXISTS (failIfExists and target exists), ERROR_CANCELLED (the user closed the
 * progress dialog or the callback stopped the copy), ERROR_HANDLE_EOF (the source ended before
 * its size) or the platform's own.  A failed or stopped copy removes the partly written target.
 * Files of 512 000 bytes and more are copied in blocks with progress: through callback when
 * given, else in a dialog (caption and message) that runs on a thread of its own for the copy. */
int WINAPI Basekit_CopyFileWithProgress(const char *source, const char *target, BOOL failIfExists,
                                        const char *caption, const char *message,
                                        BasekitCopyProgress callback, void *context);
/* Empties folder (an absolute path): every file (read-only ones too) and every sub-folder with
 * its contents; the folder itself stays.  0 when the folder cannot be entered, else non-zero when
 * the current folder, changed during the call, could be restored. */
int WINAPI Basekit_DeleteTree(const char *folder);
/* Creates or truncates the file at path and writes size bytes of data: 1 when every byte was
 * written and the file closed, 0 when a write or the close failed (last error set), -1 when the
 * file cannot be created. */
int WINAPI Basekit_WriteFile(const char *path, const void *data, DWORD size);
/* Creates a shell shortcut file link to target with a working folder and a description (both may
 * be null).  0 without doing anything when link already exists; otherwise the result code of
 * saving the link (S_OK, or negative on failure). */
LONG WINAPI Basekit_CreateShortcut(const char *target, const char *link, const char *workFolder,
                                   const char *description);

/* Shell folders: each fills buf (260 bytes) and returns non-zero on success, 0 with buf empty
 * when the folder is unknown. */
int WINAPI Basekit_GetProgramsFolder(char *buf);
int WINAPI Basekit_GetDesktopFolder(char *buf);
int WINAPI Basekit_GetStartMenuFolder(char *buf);
int WINAPI Basekit_GetStartupFolder(char *buf);
/* The quick-launch folder, from the user's application-data folder on systems of code 6 and
 * above (see Basekit_GetOsVersion), else from the old group-conversion map. */
int WINAPI Basekit_GetQuickLaunchFolder(char *buf);

/* The operating-system code: 0 older than 4 or unknown; 1 4.0 (9x family); 2 4.x (NT family);
 * 3 other 9x-family; 4 other NT-family; 5 4.10; 6 5.0; 7 5.1; 8 4.90; 9 5.2; 10 any 6.x. */
int WINAPI Basekit_GetOsVersion(void);

/* Sorting in place (not stable): compare gets pointers to two elements and answers less than,
 * equal to or greater than 0.  Nothing happens for fewer than two elements or a size of 0.  The
 * compare functions use the C calling convention. */
typedef int(__cdecl *BasekitCompare)(const void *a, const void *b);
typedef int(__cdecl *BasekitCompareContext)(const void *a, const void *b, void *context);
void WINAPI Basekit_Sort(void *array, int count, int size, BasekitCompare compare);
/* The same with context passed to every compare. */
void WINAPI Basekit_SortWithContext(void *array, int count, int size,
                                    BasekitCompareContext compare, void *context);

/* Numbers.  ParseInt: skips bytes below "!", one optional sign, decimal digits up to the first
 * non-digit; wraps around on overflow.  StrToLong/StrToULong: the C library's signed and unsigned
 * conversions over 32 bits (white space, sign, base 0 or 2 to 36, "0x" for 16); on overflow the
 * result is clamped (0x7FFFFFFF, 0x80000000 or 0xFFFFFFFF) and errno is ERANGE; no digits or an
 * invalid base give 0 with *end (may be null) at text.  StrToULong negates after a "-". */
int WINAPI Basekit_ParseInt(const char *text);
LONG WINAPI Basekit_StrToLong(const char *text, char **end, int base);
ULONG WINAPI Basekit_StrToULong(const char *text, char **end, int base);

/* Windows.  caption and icon may be null (left unchanged); given, they become the window's text
 * and its big and small icons.  Sizes use the dialog frame (SM_CXDLGFRAME, SM_CYDLGFRAME), the
 * caption-button height (SM_CYSIZE) and the full-screen area (SM_CXFULLSCREEN, SM_CYFULLSCREEN).
 * Results are the platform's set-position result (FALSE for a window that does not exist). */
/* Moves the window (size and Z order kept) so that its client area is centred on the screen. */
BOOL WINAPI Basekit_CenterWindow(HWND window, const char *caption, HICON icon);
/* Sizes the window to its client size plus the frames and a caption, centres, shows and brings
 * it to the foreground. */
BOOL WINAPI Basekit_CenterWindowTop(HWND window, const char *caption, HICON icon);
/* Sizes the window (not moved) to bitmap bitmapId of module plus the frames (and a caption when
 * withCaption), and shows it.  FALSE when the bitmap cannot be loaded. */
BOOL WINAPI Basekit_SizeToBitmap(HINSTANCE module, UINT bitmapId, HWND window, const char *caption,
                                 HICON icon, BOOL withCaption);
/* When the client area is lower than the bitmap: the window becomes as high as the bitmap plus
 * the frames (and a caption when withCaption) and as wide as its client area was. */
BOOL WINAPI Basekit_SizeToBitmapWidth(HINSTANCE module, UINT bitmapId, HWND window,
                                      const char *caption, HICON icon, BOOL withCaption);
/* Basekit_SizeToBitmap, then Basekit_CenterWindow. */
BOOL WINAPI Basekit_SizeToBitmapCentered(HINSTANCE module, UINT bitmapId, HWND window,
                                         const char *caption, HICON icon, BOOL withCaption);
/* Moves child so that its client area ends margin plus one dialog frame inside the parent's
 * client area at the right and at the bottom. */
BOOL WINAPI Basekit_PlaceChildBottomRight(HWND parent, HWND child, int margin);
/* Caption, icons, then SetWindowPos with the given place, size and flags. */
BOOL WINAPI Basekit_SetWindowFrame(HWND window, int x, int y, int width, int height, UINT flags,
                                   const char *caption, HICON icon);
/* Bring a visible window to the foreground, or make it the active window (attaching the calling
 * thread's input to the window's thread for the call).  Null for a window that does not exist or
 * is not visible; otherwise the window. */
HWND WINAPI Basekit_ForceForeground(HWND window);
HWND WINAPI Basekit_ForceActive(HWND window);

/* ---- end of files and paths ---- */

/* ---- Text codec --------------------------------------------------------------------------------
 * The version-0 byte code of dictionary text, for tools that prepare it.  Stateless: calls may
 * overlap. */

/* Decodes count coded bytes into out: the number of plain bytes written, 0 for a count below 1
 * or damaged code (nothing is read past in[count - 1]).  The output buffer must hold the plain
 * text; 86 bytes per coded byte hold any decoding. */
int WINAPI Basekit_TextDecode(char *out, const char *in, int count);
/* Encodes count plain bytes into out (room for 2 * count bytes): the number of coded bytes
 * written, 0 for a count below 1.  The coding draws random choices, so a text encodes
 * differently from call to call; every encoding decodes to the text. */
int WINAPI Basekit_TextEncode(char *out, const char *in, int count);

/* ---- end of text codec ---- */

/* ---- Device-independent bitmaps ----------------------------------------------------------------
 * A DibImage holds a 40-byte BITMAPINFOHEADER with its colour table (and the three colour masks
 * of a bit-field image) in one block, and the pixel rows bottom-up, each padded to 4 bytes.  A
 * DibHandle holds an image and a palette slot (selected and realised while drawing when set).
 * Both are the same empty object from Basekit_DibCreate, owned by the caller until
 * Basekit_DibFree (image) or Basekit_DibHandleFree (handle).  Loaders accept only bottom-up
 * images of 1, 4, 8, 16, 24 or 32 bits with a 40-byte header whose fields agree with the bytes at
 * hand (colour count within the depth and at most 256, every row present); on any failure they
 * answer 0 and leave the object empty.  Source coordinates count from the top-left corner.
 * Drawing with an empty handle draws nothing and answers 0. */
typedef struct DibImage {
    BITMAPINFO *Info;   /* header block: header, masks, colour table */
    void *Bits;         /* pixel rows, bottom-up */
} DibImage;
typedef struct DibHandle {
    DibImage *Image;
    HPALETTE Palette;
} DibHandle;

/* A new empty object (zero-filled, usable as image or handle); null when the heap is exhausted. */
DibImage *WINAPI Basekit_DibCreate(void);
DibImage *WINAPI Basekit_DibHandleCreate(void);   /* the same operation */
/* Frees the image's blocks and the object; null is ignored. */
void WINAPI Basekit_DibFree(DibImage *image);
/* Non-zero when header block and bits are both present. */
BOOL WINAPI Basekit_DibIsLoaded(const DibImage *image);
/* 1 when the header's used-colour count is non-zero, else 0. */
BOOL WINAPI Basekit_DibGetColorUsed(const DibImage *image);
/* The header block (owned by the image); null when empty. */
BITMAPINFO *WINAPI Basekit_DibGetInfo(const DibImage *image);
BITMAPINFO *WINAPI Basekit_DibGetHeader(const DibImage *image);   /* the same operation */
/* The colour table inside the header block; null when empty. */
RGBQUAD *WINAPI Basekit_DibGetColorTable(const DibImage *image);
/* The pixel bits (owned by the image); null for null or empty. */
void *WINAPI Basekit_DibGetBits(const DibImage *image);
/* Width and height in pixels; 0 for null or empty. */
int WINAPI Basekit_DibGetWidth(const DibImage *image);
int WINAPI Basekit_DibGetHeight(const DibImage *image);
/* 2, 16 or 256 for 1, 4 and 8 bits, else 0; the used-colour count instead when it is set. */
int WINAPI Basekit_DibGetColorCount(const DibImage *image);
/* Copies up to maximum colour-table entries as red, green, blue, flags 0; the number copied. */
int WINAPI Basekit_DibCopyColorTable(const DibImage *image, PALETTEENTRY *entries, int maximum);
/* A logical palette of the colour table (the caller deletes it); null for 2 colours or fewer. */
HPALETTE WINAPI Basekit_DibCreatePalette(const DibImage *image);
/* Loaders of a .bmp file, a whole .bmp file image in memory (never read beyond size bytes, and
 * the file-size field may not exceed size) and a bitmap resource (name or MAKEINTRESOURCE id). */
BOOL WINAPI Basekit_DibLoadFile(DibImage *image, const char *path);
BOOL WINAPI Basekit_DibLoadMemory(DibImage *image, const void *data, DWORD size);
BOOL WINAPI Basekit_DibLoadResource(DibImage *image, HMODULE module, const char *name);

/* Handles: non-zero when the handle holds a loaded image. */
BOOL WINAPI Basekit_DibHandleIsLoaded(const DibHandle *handle);
/* Frees image and palette and empties both; null is ignored. */
void WINAPI Basekit_DibHandleClear(DibHandle *handle);
/* Clears and frees the handle; null is ignored. */
void WINAPI Basekit_DibHandleFree(DibHandle *handle);
/* Clear the handle, then load into a new image: 1, or 0 with the handle empty (also for a null
 * or empty path). */
BOOL WINAPI Basekit_DibHandleLoadFile(DibHandle *handle, const char *path);
BOOL WINAPI Basekit_DibHandleLoadMemory(DibHandle *handle, const void *data, DWORD size);
BOOL WINAPI Basekit_DibHandleLoadResource(DibHandle *handle, HMODULE module, const char *name);
/* Width and height of the handle's image (0 when empty); either output may be null. */
void WINAPI Basekit_DibGetSize(const DibHandle *handle, int *width, int *height);
/* The image at its own size with its top-left corner at x, y. */
BOOL WINAPI Basekit_DibDraw(const DibHandle *handle, HDC dc, int x, int y);
/* The whole image stretched (half-tone) into the rectangle. */
BOOL WINAPI Basekit_DibStretch(const DibHandle *handle, HDC dc, int x, int y, int width,
                               int height);
/* The source part stretched into the destination rectangle, copying or with a raster operation. */
BOOL WINAPI Basekit_DibStretchCopy(const DibHandle *handle, HDC dc, int dx, int dy, int dw, int dh,
                                   int sx, int sy, int sw, int sh);
BOOL WINAPI Basekit_DibStretchRop(const DibHandle *handle, HDC dc, int dx, int dy, int dw, int dh,
                                  int sx, int sy, int sw, int sh, DWORD rop);
/* Stretches when both sizes differ; otherwise repeats the source part down (equal widths) or
 * across (equal heights), the last copy cut to what remains. */
BOOL WINAPI Basekit_DibDrawPart(const DibHandle *handle, HDC dc, int dx, int dy, int dw, int dh,
                                int sx, int sy, int sw, int sh);
/* A 1-bit mask (the caller deletes it), 1 where a pixel has the colour of the top-left pixel;
 * null for images of other than 4, 8, 16, 24 or 32 bits or run-length coded ones. */
HBITMAP WINAPI Basekit_DibCreateMask(const DibHandle *handle, HDC dc);
/* The part drawn with the top-left pixel's colour left out, through mask (or one made for the
 * call when null; a given mask stays the caller's).  Images below 4 bits are not drawn. */
BOOL WINAPI Basekit_DibDrawTransparentPart(const DibHandle *handle, HBITMAP mask, HDC dc, int dx,
                                           int dy, int dw, int dh, int sx, int sy, int sw, int sh);
BOOL WINAPI Basekit_DibDrawTransparent(const DibHandle *handle, HDC dc, int x, int y);
/* A device bitmap compatible with dc made from the image (the caller deletes it); null if empty. */
HBITMAP WINAPI Basekit_DibCreateBitmap(HDC dc, const DibHandle *handle);

/* ---- end of device-independent bitmaps ---- */

/* ---- Drawing helpers and image effects ---------------------------------------------------------
 * Each routine paints into the caller's device context, puts back every object it selected and
 * deletes every object it made; none keeps state.  Rectangles are given by pointer; colours are
 * 0x00BBGGRR values. */

/* Frame controls: a push button 1 pixel inside the rectangle (raised or pushed), a check box. */
void WINAPI Basekit_DrawPushButtonFace(HDC dc, const RECT *rect);
void WINAPI Basekit_DrawPushButtonPushed(HDC dc, const RECT *rect);
void WINAPI Basekit_DrawCheckBox(HDC dc, const RECT *rect);
void WINAPI Basekit_DrawCheckBoxState(HDC dc, const RECT *rect, BOOL checked);
/* Fills the rectangle with the button-face colour. */
void WINAPI Basekit_FillButtonFace(HDC dc, const RECT *rect);
/* Swatches: a button-face line round the rectangle with a sunken edge inside it; the rectangle
 * 3 pixels in filled with the colour; the same filled and framed in grey (0x808080). */
void WINAPI Basekit_DrawSwatchFrame(HDC dc, const RECT *rect);
void WINAPI Basekit_FillSwatch(HDC dc, const RECT *rect, COLORREF colour);
void WINAPI Basekit_DrawSwatch(HDC dc, const RECT *rect, COLORREF colour);
/* Colour buttons: a swatch 4 pixels inside (with the drop-down arrow part when stated) and
 * DrawColorButton / DrawColorButtonDisabled: a focus rectangle 4 pixels in and a black frame;
 * the Framed forms: a button-face frame.  PlainDisabled: the swatch and arrow in grey. */
void WINAPI Basekit_DrawColorDropButton(HDC dc, const RECT *rect, COLORREF colour, BOOL arrow);
void WINAPI Basekit_DrawColorButton(HDC dc, const RECT *rect, COLORREF colour);
void WINAPI Basekit_DrawColorButtonDisabled(HDC dc, const RECT *rect, COLORREF colour);
void WINAPI Basekit_DrawColorButtonFramed(HDC dc, const RECT *rect, COLORREF colour);
void WINAPI Basekit_DrawColorButtonFramedDisabled(HDC dc, const RECT *rect, COLORREF colour);
void WINAPI Basekit_DrawColorButtonPlainDisabled(HDC dc, const RECT *rect);
/* Resource pictures: the bitmap id of module at x, y (top-left, or bottom-left at y for the
 * Bottom form) with a raster operation; the two integers are ignored.  Nothing when it does not
 * load. */
void WINAPI Basekit_DrawResourceBitmap(HDC dc, int x, int y, int unused1, int unused2,
                                       HINSTANCE module, UINT id, DWORD rop);
void WINAPI Basekit_DrawResourceBitmapBottom(HDC dc, int x, int y, int unused1, int unused2,
                                             HINSTANCE module, UINT id, DWORD rop);
/* The icon resource at 16 x 16 (the caller destroys it); null when missing. */
HICON WINAPI Basekit_LoadSmallIcon(HINSTANCE module, UINT id);
/* Draws that icon at 16 x 16 at x, y and destroys it. */
void WINAPI Basekit_DrawSmallIcon(HINSTANCE module, HDC dc, int x, int y, UINT id);

/* List items: the item filled with backColour, then a check-box column (check 0 unchecked,
 * 1 checked, 2 none drawn), an icon column, and count bytes of text in textColour.  Without
 * 0x10000 in the flags only the whole characters that fit the item are drawn; with it the text
 * is clipped at the item.  Flags: 0x1 text only, 0x2 check column, 0x4 icon column. */
void WINAPI Basekit_DrawIconTextItem(HDC dc, const RECT *rect, int check, const char *text,
                                     int count, COLORREF textColour, COLORREF backColour);
void WINAPI Basekit_DrawIconTextItem2(HDC dc, const RECT *rect, HICON icon, const char *text,
                                      int count, COLORREF textColour, COLORREF backColour);
void WINAPI Basekit_DrawTextItem(HDC dc, const RECT *rect, const char *text, int count,
                                 COLORREF textColour, COLORREF backColour);
void WINAPI Basekit_DrawIconCheckTextItem(HDC dc, const RECT *rect, int check, HICON icon,
                                          const char *text, int count, COLORREF textColour,
                                          COLORREF backColour);
void WINAPI Basekit_DrawIconTextItemAlt(HDC dc, const RECT *rect, int check, const char *text,
                                        int count, COLORREF textColour, COLORREF backColour);
void WINAPI Basekit_DrawIconTextItemAlt2(HDC dc, const RECT *rect, HICON icon, const char *text,
                                         int count, COLORREF textColour, COLORREF backColour);
void WINAPI Basekit_DrawTextItemAlt(HDC dc, const RECT *rect, const char *text, int count,
                                    COLORREF textColour, COLORREF backColour);
void WINAPI Basekit_DrawIconCheckTextItemAlt(HDC dc, const RECT *rect, int check, HICON icon,
                                             const char *text, int count, COLORREF textColour,
                                             COLORREF backColour);
/* Any flags, a font (null: the default GUI font) and count 0 for the whole text. */
void WINAPI Basekit_DrawListItem(DWORD flags, HDC dc, const RECT *rect, int check, HICON icon,
                                 const char *text, int count, COLORREF textColour,
                                 COLORREF backColour, HFONT font);

/* Fills the rectangle (its top is 0) with a gradient of colour: mode 0 darker upwards, mode 2 a
 * rainbow from red at the top, any other mode lighter upwards ending at the colour in the top
 * row; then draws bitmapId of module (when non-zero) at x -1 on the bottom edge, merge-painted.
 * A rectangle of height 0 or less is left alone. */
void WINAPI Basekit_FillGradient(HDC dc, const RECT *rect, COLORREF colour, UINT bitmapId,
                                 HINSTANCE module, int mode);
/* Start and stop GDI+ for the process (for callers that draw with it); both answer 1. */
int WINAPI Basekit_GdiplusStartup(void);
int WINAPI Basekit_GdiplusShutdown(void);
/* New 32-bit bitmaps with alpha 255 (the caller deletes them); null when the source cannot be
 * read.  ColorMatrix: every pixel grey (0.3 red + 0.59 green + 0.11 blue).  Recolor: the same,
 * truncated, except pixels of the button-face colour, which stay as they are. */
HBITMAP WINAPI Basekit_ImageColorMatrix(HBITMAP bitmap);
HBITMAP WINAPI Basekit_ImageRecolor(HBITMAP bitmap);

/* ---- end of drawing helpers and image effects ---- */

/* ---- Flat and icon buttons ---------------------------------------------------------------------
 * HNFLATBUTTON: a text button; style bits 0-3 give its kind (0 and 1 push, 9 radio button of a
 * group bounded by WS_GROUP siblings, others check-type), style 0x10 lets the parent draw it
 * (WM_DRAWITEM).  It sends WM_COMMAND when clicked, forwards WM_RBUTTONUP to the parent (parent
 * coordinates) and answers BM_GETCHECK (its state: 1 checked, 4 pressed), BM_SETCHECK, WM_SETFONT
 * and WM_GETFONT.  The subclassed BUTTON and HNICONBUTTONEX show an icon (or, size index 4, the
 * window text) and optionally a drop-down arrow part; they send WM_COMMAND on a click of the main
 * part and WM_NOTIFY with code 0x8000 (arrow part pressed), 0x8001 (cursor entered) and 0x8002
 * (cursor left); a check button (kind 2) toggles on each click.  Size index: 0 24x24, 1 40x40,
 * 2 34x24 with arrow, 3 50x40 with arrow, 4 24x24 text with arrow, 5 24x24 and 6 40x40 whose icon
 * is drawn normally also when disabled.  All answer the tooltip's text request with their window
 * text.  Records live until the window is destroyed; icons and bitmaps stay the caller's. */

/* Registers the window classes once per process; non-zero when registered (or already there). */
BOOL WINAPI Basekit_RegisterFlatButton(void);
BOOL WINAPI Basekit_RegisterIconButton(void);
/* A visible owner-drawn child BUTTON, subclassed and sized from the size index; null on failure. */
HWND WINAPI Basekit_FlatButtonCreate(HICON icon, HBITMAP background, int sizeIndex, int kind,
                                     int x, int y, HWND parent, UINT id, const char *text,
                                     HINSTANCE module);
/* Subclasses an existing button (sized from the size index without moving when sizeIt is set);
 * FALSE when the window does not exist or already carries a record. */
BOOL WINAPI Basekit_FlatButtonSubclass(HWND button, HICON icon, HBITMAP background, int sizeIndex,
                                       int kind, BOOL sizeIt);
/* Replaces the icon, repaints at once; the previous icon (null for a window that is not one). */
HICON WINAPI Basekit_FlatButtonSetIcon(HWND button, HICON icon);
/* A visible HNICONBUTTONEX child, or null.  A corner size gives it rounded corners (a region the
 * window owns).  Background bitmaps: plain, while hovered, while pressed or checked. */
HWND WINAPI Basekit_IconButtonCreate(HICON icon, HICON hoverIcon, HBITMAP background,
                                     HBITMAP hoverBackground, HBITMAP pressedBackground,
                                     int sizeIndex, int kind, int x, int y, int width, int height,
                                     HWND parent, UINT id, const char *text, HINSTANCE module,
                                     int cornerWidth, int cornerHeight);
/* Replaces both icons, repaints at once; the previous icon. */
HICON WINAPI Basekit_IconButtonSetIcons(HWND button, HICON icon, HICON hoverIcon);

/* ---- Tooltip managers --------------------------------------------------------------------------
 * A manager owns a topmost tooltip window and a message hook on the creating thread that relays
 * the thread's mouse moves, presses and releases (not double clicks) to it.  Two independent
 * managers exist (Create/Destroy and Create2/Destroy2), each at most once per process at a time:
 * a second create of the same kind answers null until the first is destroyed.  Tools ask their
 * window for the text (TTN_NEEDTEXTA).  The add and remove operations act on whichever manager
 * is passed. */
typedef struct ToolTipManager {
    HWND Window;   /* the tooltip window */
    HHOOK Hook;    /* the thread's message hook */
} ToolTipManager;

ToolTipManager *WINAPI Basekit_TooltipCreate(void);
ToolTipManager *WINAPI Basekit_TooltipCreate2(void);
/* 0 after unhooking, destroying the window and freeing the record; non-zero (nothing done) for a
 * record that is not that kind's live manager. */
int WINAPI Basekit_TooltipDestroy(ToolTipManager *manager);
int WINAPI Basekit_TooltipDestroy2(ToolTipManager *manager);
/* Adds the window as a tool with the given id (AddRect) or its own handle as id (Add); the
 * tooltip's answer, 0 for a null manager.  Remove takes the tool whose id is the window. */
LRESULT WINAPI Basekit_TooltipAddRect(ToolTipManager *manager, HWND window, UINT_PTR id);
LRESULT WINAPI Basekit_TooltipAddRect2(ToolTipManager *manager, HWND window, UINT_PTR id);
LRESULT WINAPI Basekit_TooltipAdd(ToolTipManager *manager, HWND window);
LRESULT WINAPI Basekit_TooltipAdd2(ToolTipManager *manager, HWND window);
void WINAPI Basekit_TooltipRemove(ToolTipManager *manager, HWND window);
void WINAPI Basekit_TooltipRemove2(ToolTipManager *manager, HWND window);

/* ---- end of buttons and tooltip managers ---- */

/* ---- Font lists, colour pickers and message dialogs --------------------------------------------
 * The dialogs are resources of this library, in English and Japanese (chosen by the thread's UI
 * language).  All of them are modal and return when closed. */

/* Fills a list box or combo box (told apart by class name) with the TrueType faces of a charset
 * (255: any) in enumeration order, selects face (exact match; may be null) and scrolls it to the
 * top.  Flags: 0x01 only modern or swiss families, 0x02 only modern or roman families, 0x10 also
 * the vertical-writing faces that begin with "@".  For charset 128 the faces "MS Gothic",
 * "MS PGothic", "MS UI Gothic", "MS PMincho" and "MS Mincho" are listed whatever charset the
 * system reports for them.  The result of the scroll, or -1 when nothing is selected. */
int WINAPI Basekit_FillFontList(HWND box, const char *face, int charset, DWORD flags);
int WINAPI Basekit_FillFontListAll(HWND box, int charset, DWORD flags);

/* Called once when a colour picker starts, with the picker's window, the colour pointer given to
 * the picker (as start value) and the caller's value, so that it can place the picker. */
typedef void(CALLBACK *BasekitPickerCallback)(HWND picker, LPARAM start, LPARAM user);
/* Drop-down colour pickers (16 colours; a 40-colour palette).  The picker holds the mouse: a
 * press outside closes it.  1 with *colour set when a swatch or a colour of the system colour
 * dialog (opened from the picker's button) was chosen; 0 with *colour unchanged otherwise. */
int WINAPI Basekit_ChooseColorEx(HWND owner, COLORREF *colour, BasekitPickerCallback callback,
                                 LPARAM user);
int WINAPI Basekit_ChooseColorPalette(HWND owner, COLORREF *colour, BasekitPickerCallback callback,
                                      LPARAM user);

/* Message dialogs with a picture (bitmapId of bitmapModule, drawn with mask as its transparent
 * colour; 0 for none), an icon (iconId of iconModule; 0 for none), a text and a caption.  While
 * open, *place (when given) holds the dialog's window; it is emptied when the dialog ends.
 * AskYesNo: 1 for Yes, 0 for No or Cancel; focus names the control to focus first (0: the
 * default).  ShowMessage: 1 when closed.  A null text or caption shows as empty. */
int WINAPI Basekit_AskYesNo(HWND owner, UINT iconId, HINSTANCE iconModule, UINT bitmapId,
                            HINSTANCE bitmapModule, COLORREF mask, const char *text,
                            const char *caption, int focus, HWND *place);
int WINAPI Basekit_ShowMessage(HWND owner, UINT iconId, HINSTANCE iconModule, UINT bitmapId,
                               HINSTANCE bitmapModule, COLORREF mask, const char *text,
                               const char *caption, HWND *place);

/* ---- end of font lists, colour pickers and message dialogs ---- */

#ifdef __cplusplus
}
#endif

#endif /* BASEKIT_H */
