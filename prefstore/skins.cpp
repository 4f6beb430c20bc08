// Pop-up window skins: skin descriptions (INI files below the Skins folder next to the program),
// the composition of the window's bitmap from the seven parts of the skin bitmap, and the window
// region that leaves out the key colour of the title strip, the top-right corner and the grip.
#include "recordcheck.h"
#include <stdlib.h>
#include <string.h>
#include <vector>

#include "basekit.h"
#include "prefstore.h"

namespace {

const char kSection[] = "SkinInfo";

RECORD_CHECK_X86(offsetof(SkinDescription, GripSize) == 12 && offsetof(SkinDescription, Origin) == 68 &&
                  offsetof(SkinDescription, FullSize) == 92 &&
                  offsetof(SkinDescription, ViewMargins) == 148 &&
                  offsetof(SkinDescription, SkinBitmap) == 180 &&
                  offsetof(SkinDescription, CurrentSize) == 192 && sizeof(SkinDescription) == 204,
              "SkinDescription");

// The folder of the running program with name appended, in a MAX_PATH buffer; 0 when too long.
int BesideProgram(char *out, const char *name)
{
    DWORD n = GetModuleFileNameA(nullptr, out, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 0;
    char *slash = strrchr(out, '\\');
    if (slash == nullptr) return 0;
    slash[1] = 0;
    return Basekit_PathAppend(out, name) != nullptr;
}

void ReadValue(const char *file, const char *section, const char *key, char *buf)
{
    GetPrivateProfileStringA(section, key, "", buf, MAX_PATH, file);
}

// Parses up to count numbers of a list into values.  The first is read as the C library reads a
// number in base 0; after each number the text is skipped up to the next decimal digit, so only
// the first can carry a sign or a base prefix (the others are decimal).  Numbers missing at the
// end leave their values as they were.
void ParseNumbers(const char *text, int *values, int count)
{
    const char *p = text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            while (*p && (*p < '0' || *p > '9')) ++p;
            if (*p == 0) return;
        }
        char *end = nullptr;
        values[i] = static_cast<int>(strtol(p, &end, i == 0 ? 0 : 10));
        if (end == p) {
            if (i == 0) continue;   // no number at the start: look for the next one
            return;
        }
        p = end;
    }
}

// A number list of the skin file; an empty value gives all zeros.
void ReadNumbers(const char *file, const char *section, const char *key, int *values, int count)
{
    char text[MAX_PATH];
    ReadValue(file, section, key, text);
    if (text[0] == 0) {
        for (int i = 0; i < count; ++i) values[i] = 0;
        return;
    }
    ParseNumbers(text, values, count);
}

COLORREF ReadColour(const char *file, const char *section, const char *key)
{
    int rgb[3] = {0, 0, 0};
    ReadNumbers(file, section, key, rgb, 3);
    return RGB(rgb[0], rgb[1], rgb[2]);
}

// A part rectangle (inclusive) as its position and size.
void ReadPart(const char *file, const char *section, const char *key, POINT *pos, SIZE *size)
{
    int r[4] = {0, 0, 0, 0};
    ReadNumbers(file, section, key, r, 4);
    pos->x = r[0];
    pos->y = r[1];
    size->cx = r[2] - r[0] + 1;
    size->cy = r[3] - r[1] + 1;
}

// The title: "Title_Jpn" under the ANSI code page 932 when it is not empty, else "Title".
void ReadTitle(const char *file, char *title)
{
    title[0] = 0;
    if (GetACP() == 932) ReadValue(file, kSection, "Title_Jpn", title);
    if (title[0] == 0) ReadValue(file, kSection, "Title", title);
}

// A file named by a key of the skin file, relative to the skin file's folder; 0 when unnamed.
int ReadSkinFile(const char *skin, const char *section, const char *key, char *path)
{
    char name[MAX_PATH];
    ReadValue(skin, section, key, name);
    if (name[0] == 0) return 0;
    lstrcpynA(path, skin, MAX_PATH);
    return Basekit_PathReplaceFileName(path, "") && Basekit_PathAppend(path, name) != nullptr;
}

// The current skin file: the stored choice when the file exists, else default.tsk in the Skins
// folder, which then becomes the stored choice.
int CurrentSkin(char *path)
{
    PopupWindowOptions options;
    Prefstore_LoadPopupWindow(&options, nullptr);
    if (options.SkinFolderName[0] &&
        GetFileAttributesA(options.SkinFolderName) != INVALID_FILE_ATTRIBUTES) {
        lstrcpynA(path, options.SkinFolderName, MAX_PATH);
        return 1;
    }
    if (!BesideProgram(path, "Skins\\default.tsk")) return 0;
    lstrcpynA(options.SkinFolderName, path, sizeof options.SkinFolderName);
    Prefstore_SavePopupWindow(&options, nullptr);
    return 1;
}

void Walk(PrefstoreSkinCallback callback, LPARAM user)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("*.*", &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (SetCurrentDirectoryA(found.cFileName)) {
                Walk(callback, user);
                SetCurrentDirectoryA("..");
            }
            continue;
        }
        char full[MAX_PATH], title[MAX_PATH];
        if (GetFullPathNameA(found.cFileName, MAX_PATH, full, nullptr) == 0) continue;
        ReadTitle(full, title);
        if (title[0]) callback(full, title, user);   // its answer does not stop the walk
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// Copies a source rectangle of the skin bitmap, stretched when the sizes differ.
void Part(HDC to, int dx, int dy, int dw, int dh, HDC from, int sx, int sy, int sw, int sh)
{
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (dw == sw && dh == sh) BitBlt(to, dx, dy, dw, dh, from, sx, sy, SRCCOPY);
    else StretchBlt(to, dx, dy, dw, dh, from, sx, sy, sw, sh, SRCCOPY);
}

// The region of the pixels of a part of the composed bitmap whose colour differs from the key:
// one rectangle per run of such pixels in each row, moved to the part's place.  Null for an
// empty part or when memory runs out.
HRGN OpaqueRegion(HDC composed, int x, int y, int w, int h, COLORREF key)
{
    if (w <= 0 || h <= 0) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;   // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(composed, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(composed);
    HRGN region = nullptr;
    if (section && mem) {
        HGDIOBJ old = SelectObject(mem, section);
        BitBlt(mem, 0, 0, w, h, composed, x, y, SRCCOPY);
        GdiFlush();
        DWORD keyRgb = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
        const DWORD *pixels = static_cast<const DWORD *>(bits);
        std::vector<RECT> runs;
        for (int row = 0; row < h; ++row) {
            const DWORD *line = pixels + static_cast<size_t>(row) * w;
            for (int col = 0; col < w;) {
                if ((line[col] & 0xFFFFFF) == keyRgb) {
                    ++col;
                    continue;
                }
                int start = col;
                while (col < w && (line[col] & 0xFFFFFF) != keyRgb) ++col;
                runs.push_back(RECT{start, row, col, row + 1});
            }
        }
        SelectObject(mem, old);
        size_t size = sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT);
        RGNDATA *data = static_cast<RGNDATA *>(malloc(size));
        if (data) {
            data->rdh.dwSize = sizeof(RGNDATAHEADER);
            data->rdh.iType = RDH_RECTANGLES;
            data->rdh.nCount = static_cast<DWORD>(runs.size());
            data->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
            SetRect(&data->rdh.rcBound, 0, 0, w, h);
            if (!runs.empty()) memcpy(data->Buffer, runs.data(), runs.size() * sizeof(RECT));
            region = ExtCreateRegion(nullptr, static_cast<DWORD>(size), data);
            free(data);
            if (region) OffsetRgn(region, x, y);
        }
    }
    if (mem) DeleteDC(mem);
    if (section) DeleteObject(section);
    return region;
}

void AddRect(HRGN to, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top) return;
    HRGN r = CreateRectRgn(left, top, right, bottom);
    if (r == nullptr) return;
    CombineRgn(to, to, r, RGN_OR);
    DeleteObject(r);
}

void AddRegion(HRGN to, HRGN part)
{
    if (part == nullptr) return;
    CombineRgn(to, to, part, RGN_OR);
    DeleteObject(part);
}

// Composes the window bitmap of w x h from the parts and builds the region; 1 when done.
int Compose(SkinDescription *skin, int w, int h)
{
    SkinDescription &s = *skin;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int ok = from && to && bitmap && region;
    if (ok) {
        HGDIOBJ oldFrom = SelectObject(from, s.SkinBitmap);
        HGDIOBJ oldTo = SelectObject(to, bitmap);
        SetStretchBltMode(to, COLORONCOLOR);
        s.KeyColour = GetPixel(from, 0, 0);
        int ox = s.Origin.x, oy = s.Origin.y;
        Part(to, 0, 0, s.TitleSize.cx, h, from, ox, oy, s.TitleSize.cx, s.TitleSize.cy);
        Part(to, s.TopCaptionPos.x, s.TopCaptionPos.y,
             w - s.TopRightCornerSize.cx - s.TopCaptionPos.x, s.TopCaptionSize.cy, from,
             s.TopCaptionPos.x + ox, s.TopCaptionPos.y + oy, s.TopCaptionSize.cx, s.TopCaptionSize.cy);
        Part(to, s.BottomCaptionPos.x, h - s.BottomCaptionSize.cy,
             w - s.GripSize.cx - s.BottomCaptionPos.x, s.BottomCaptionSize.cy, from,
             s.BottomCaptionPos.x + ox, s.BottomCaptionPos.y + oy, s.BottomCaptionSize.cx,
             s.BottomCaptionSize.cy);
        Part(to, w - s.RightCaptionSize.cx, s.RightCaptionPos.y, s.RightCaptionSize.cx,
             h - s.GripSize.cy - s.RightCaptionPos.y, from, s.RightCaptionPos.x + ox,
             s.RightCaptionPos.y + oy, s.RightCaptionSize.cx, s.RightCaptionSize.cy);
        Part(to, w - s.TopRightCornerSize.cx, 0, s.TopRightCornerSize.cx, s.TopRightCornerSize.cy,
             from, s.TopRightCornerPos.x + ox, s.TopRightCornerPos.y + oy, s.TopRightCornerSize.cx,
             s.TopRightCornerSize.cy);
        Part(to, w - s.GripSize.cx, h - s.GripSize.cy, s.GripSize.cx, s.GripSize.cy, from,
             s.GripPos.x + ox, s.GripPos.y + oy, s.GripSize.cx, s.GripSize.cy);
        Part(to, s.ViewFramePos.x, s.ViewFramePos.y, w - s.RightCaptionSize.cx - s.ViewFramePos.x,
             h - s.BottomCaptionSize.cy - s.ViewFramePos.y, from, s.ViewFramePos.x + ox,
             s.ViewFramePos.y + oy, s.ViewFrameSize.cx, s.ViewFrameSize.cy);

        AddRect(region, s.TitleSize.cx, 0, w - s.TopRightCornerSize.cx, s.TopCaptionSize.cy);
        AddRect(region, s.TitleSize.cx, s.TopCaptionSize.cy, w, h - s.BottomCaptionSize.cy);
        AddRect(region, s.TitleSize.cx, h - s.BottomCaptionSize.cy, w - s.GripSize.cx, h);
        AddRegion(region, OpaqueRegion(to, 0, 0, s.TitleSize.cx, h, s.KeyColour));
        AddRegion(region, OpaqueRegion(to, w - s.TopRightCornerSize.cx, 0, s.TopRightCornerSize.cx,
                                       s.TopRightCornerSize.cy, s.KeyColour));
        AddRegion(region, OpaqueRegion(to, w - s.GripSize.cx, h - s.GripSize.cy, s.GripSize.cx,
                                       s.GripSize.cy, s.KeyColour));
        SelectObject(to, oldTo);
        SelectObject(from, oldFrom);
        s.WindowBitmap = bitmap;
        s.WindowRegion = region;
        bitmap = nullptr;
        region = nullptr;
    }
    if (region) DeleteObject(region);
    if (bitmap) DeleteObject(bitmap);
    if (to) DeleteDC(to);
    if (from) DeleteDC(from);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace

extern "C" int WINAPI Prefstore_ReadSkinRect(const char *section, const char *key, RECT *rect,
                                             const char *file)
{
    if (rect == nullptr || key == nullptr || file == nullptr) return 0;
    int values[4] = {rect->left, rect->top, rect->right, rect->bottom};
    ReadNumbers(file, section && section[0] ? section : kSection, key, values, 4);
    SetRect(rect, values[0], values[1], values[2], values[3]);
    return 1;
}

extern "C" int WINAPI Prefstore_EnumSkins(PrefstoreSkinCallback callback, LPARAM user)
{
    char folder[MAX_PATH], previous[MAX_PATH];
    if (callback == nullptr || !BesideProgram(folder, "Skins")) return 0;
    DWORD n = GetCurrentDirectoryA(MAX_PATH, previous);
    if (n == 0 || n >= MAX_PATH) return 0;
    if (!SetCurrentDirectoryA(folder)) return 0;
    Walk(callback, user);
    SetCurrentDirectoryA(previous);
    return 1;
}

extern "C" int WINAPI Prefstore_LoadSkinSample(HDC dc, const RECT *rect, const char *skinFile)
{
    char skin[MAX_PATH], image[MAX_PATH];
    if (dc == nullptr || rect == nullptr) return 0;
    if (skinFile && skinFile[0]) lstrcpynA(skin, skinFile, MAX_PATH);
    else if (!CurrentSkin(skin)) return 0;
    if (!ReadSkinFile(skin, kSection, "SampleImage", image)) return 0;
    DibHandle *dib = reinterpret_cast<DibHandle *>(Basekit_DibHandleCreate());
    int ok = dib && Basekit_DibHandleLoadFile(dib, image) &&
             Basekit_DibStretch(dib, dc, rect->left, rect->top, rect->right - rect->left,
                                rect->bottom - rect->top);
    Basekit_DibHandleFree(dib);
    return ok;
}

extern "C" int WINAPI Prefstore_LoadSkin(SkinDescription *skin, const char *section)
{
    char file[MAX_PATH], image[MAX_PATH];
    if (skin == nullptr) return 0;
    memset(skin, 0, sizeof *skin);
    if (!CurrentSkin(file)) return 0;
    const char *sec = section && section[0] ? section : kSection;
    skin->KeyColour = ReadColour(file, sec, "BackGroundColor");
    skin->ButtonColour = ReadColour(file, sec, "ButtonColor");
    skin->ViewColour = ReadColour(file, sec, "ViewColor");
    int pair[2] = {0, 0};
    ReadNumbers(file, sec, "Origin", pair, 2);
    skin->Origin.x = pair[0];
    skin->Origin.y = pair[1];
    pair[0] = pair[1] = 0;
    ReadNumbers(file, sec, "MinimumSize", pair, 2);
    skin->MinimumSize.cx = pair[0];
    skin->MinimumSize.cy = pair[1];
    int view[4] = {0, 0, 0, 0};
    ReadNumbers(file, sec, "ViewRect", view, 4);
    SetRect(&skin->ViewRect, view[0], view[1], view[2], view[3]);
    ReadPart(file, sec, "ViewFrameRect", &skin->ViewFramePos, &skin->ViewFrameSize);
    ReadPart(file, sec, "TitleRect", &skin->TitlePos, &skin->TitleSize);
    ReadPart(file, sec, "TopRightCornerRect", &skin->TopRightCornerPos, &skin->TopRightCornerSize);
    ReadPart(file, sec, "TopCaptionRect", &skin->TopCaptionPos, &skin->TopCaptionSize);
    ReadPart(file, sec, "RightCaptionRect", &skin->RightCaptionPos, &skin->RightCaptionSize);
    ReadPart(file, sec, "BottomCaptionRect", &skin->BottomCaptionPos, &skin->BottomCaptionSize);
    ReadPart(file, sec, "GripRect", &skin->GripPos, &skin->GripSize);
    skin->FullSize.cx = skin->GripPos.x + skin->GripSize.cx;
    skin->FullSize.cy = skin->GripPos.y + skin->GripSize.cy;
    SetRect(&skin->ViewMargins, skin->ViewRect.left, skin->ViewRect.top,
            skin->FullSize.cx - skin->ViewRect.right - 1, skin->FullSize.cy - skin->ViewRect.bottom - 1);
    if (ReadSkinFile(file, sec, "Image", image)) {
        DibHandle *dib = reinterpret_cast<DibHandle *>(Basekit_DibHandleCreate());
        if (dib && Basekit_DibHandleLoadFile(dib, image)) {
            HDC screen = GetDC(nullptr);
            skin->SkinBitmap = Basekit_DibCreateBitmap(screen, dib);
            ReleaseDC(nullptr, screen);
        }
        Basekit_DibHandleFree(dib);
    }
    skin->ButtonBrush = CreateSolidBrush(skin->ButtonColour);
    return skin->SkinBitmap != nullptr;
}

extern "C" void WINAPI Prefstore_FreeSkin(SkinDescription *skin)
{
    if (skin == nullptr) return;
    // WindowRegion is our own copy; the window keeps the one it was given.
    HGDIOBJ objects[] = {skin->SkinBitmap, skin->WindowBitmap, skin->WindowRegion, skin->ButtonBrush};
    for (HGDIOBJ o : objects)
        if (o) DeleteObject(o);
    skin->SkinBitmap = nullptr;
    skin->WindowBitmap = nullptr;
    skin->WindowRegion = nullptr;
    skin->ButtonBrush = nullptr;
}

extern "C" int WINAPI Prefstore_ApplySkin(HWND window, SkinDescription *skin, const SIZE *size)
{
    if (skin == nullptr) return 0;
    BITMAP info = {};
    if (skin->SkinBitmap == nullptr || !GetObjectA(skin->SkinBitmap, sizeof info, &info)) {
        // Without a picture there is nothing to shape by: the window stays (or becomes) unshaped.
        if (IsWindow(window)) SetWindowRgn(window, nullptr, TRUE);
        return 0;
    }
    int w = size ? size->cx : info.bmWidth, h = size ? size->cy : info.bmHeight;
    if (w <= 0 || h <= 0) return 0;
    if (skin->WindowBitmap) DeleteObject(skin->WindowBitmap);
    if (skin->WindowRegion) DeleteObject(skin->WindowRegion);
    skin->WindowBitmap = nullptr;
    skin->WindowRegion = nullptr;
    skin->CurrentSize.cx = w;
    skin->CurrentSize.cy = h;
    if (!Compose(skin, w, h)) return 0;
    if (IsWindow(window)) {
        // The window gets a copy of its own: a region handed over belongs to the system.
        HRGN handed = CreateRectRgn(0, 0, 0, 0);
        if (handed && CombineRgn(handed, skin->WindowRegion, nullptr, RGN_COPY) != ERROR &&
            SetWindowRgn(window, handed, FALSE)) {
            handed = nullptr;
        }
        if (handed) DeleteObject(handed);
        RedrawWindow(window, nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    return 1;
}
