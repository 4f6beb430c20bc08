// Painting routines shared by the suite's owner-drawn controls: button faces and check boxes,
// colour swatches and colour buttons, list items, resource bitmaps and small icons.  Each one
// paints into the caller's device context and puts back everything it selected.
#include <string.h>

#include "ui_int.h"

namespace {

void FillColour(HDC dc, const RECT *rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, rect, brush);
    DeleteObject(brush);
}

void FrameColour(HDC dc, const RECT *rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, rect, brush);
    DeleteObject(brush);
}

void VerticalLine(HDC dc, int x, int top, int bottom, COLORREF colour)
{
    RECT line = {x, top, x + 1, bottom};
    FillColour(dc, &line, colour);
}

void DrawFrameInside(HDC dc, const RECT *rect, UINT state)
{
    RECT r = *rect;
    InflateRect(&r, -1, -1);
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
}

// The bold Marlett font of the drop-down arrow, made from the default GUI font's description.
HFONT ArrowFont(void)
{
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfCharSet = SYMBOL_CHARSET;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = 0;
    strcpy(lf.lfFaceName, "Marlett");
    return CreateFontIndirectA(&lf);
}

// The number of bytes of text (whole characters) whose extent fits in width.
int FittingBytes(HDC dc, const char *text, int count, int width)
{
    int fit = 0;
    while (fit < count) {
        int next = fit + ((IsDBCSLeadByte(static_cast<BYTE>(text[fit])) && fit + 1 < count) ? 2 : 1);
        SIZE size;
        if (!GetTextExtentPoint32A(dc, text, next, &size) || size.cx > width) break;
        fit = next;
    }
    return fit;
}

enum { kTextOnly = 0x1, kCheckColumn = 0x2, kIconColumn = 0x4, kClip = 0x10000 };

// The list item of every list-item operation.  centredBox: the check box 12 pixels high and
// centred, and the text at the item top (Basekit_DrawListItem); otherwise the older placement.
void DrawItem(DWORD flags, HDC dc, const RECT *rect, int check, HICON icon, const char *text,
              int count, COLORREF textColour, COLORREF backColour, HFONT font, int centredBox)
{
    if (dc == nullptr || rect == nullptr) return;
    FillColour(dc, rect, backColour);
    int height = rect->bottom - rect->top;
    int x = rect->left + 2;
    int textY = rect->top;
    if (flags & kCheckColumn) {
        RECT box = {x, rect->top + 1, x + 12, rect->bottom - (height - 12) / 2};
        if (centredBox) {
            box.top = rect->top + (height - 12) / 2;
            box.bottom = box.top + 12;
        }
        if (check != 2) DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (check == 1 ? DFCS_CHECKED : 0));
        textY = box.top;
        x += 14;
    }
    if (flags & kIconColumn) {
        int y = rect->top + (height - 16) / 2;
        if (icon) DrawIconEx(dc, x, y, icon, 16, 16, 0, nullptr, DI_NORMAL);
        textY = y;
        x += 18;
    }
    if (flags & kTextOnly) x += 2;
    if (text == nullptr) return;
    if (count < 0 || (count == 0 && centredBox)) count = lstrlenA(text);
    HGDIOBJ oldFont = SelectObject(dc, font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    COLORREF oldColour = SetTextColor(dc, textColour);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (centredBox) {
        textY = rect->top;
        LOGFONTA lf = {};
        GetObjectA(font ? font : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
        if (GetACP() == 932 && lf.lfCharSet != SHIFTJIS_CHARSET && lf.lfCharSet != GB2312_CHARSET &&
            lf.lfCharSet != CHINESEBIG5_CHARSET)
            textY -= 2;
    }
    if (flags & kClip) {
        RECT clip = {x, rect->top, rect->right, rect->bottom};
        ExtTextOutA(dc, x, textY, ETO_CLIPPED, &clip, text, count, nullptr);
    } else {
        // Only the whole characters that fit the item's width are drawn.
        int fit = FittingBytes(dc, text, count, rect->right - x);
        ExtTextOutA(dc, x, textY, 0, nullptr, text, fit, nullptr);
    }
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    SelectObject(dc, oldFont);
}

} // namespace

HDC Draw_BufferBegin(DrawBuffer *buffer, HDC dc, const RECT *client)
{
    buffer->mem = nullptr;
    buffer->bitmap = nullptr;
    buffer->old = nullptr;
    if (client->right <= 0 || client->bottom <= 0) return nullptr;
    buffer->mem = CreateCompatibleDC(dc);
    buffer->bitmap = CreateCompatibleBitmap(dc, client->right, client->bottom);
    if (!buffer->mem || !buffer->bitmap) return nullptr;
    buffer->old = SelectObject(buffer->mem, buffer->bitmap);
    return buffer->mem;
}

void Draw_BufferEnd(DrawBuffer *buffer, HDC dc, const PAINTSTRUCT *ps)
{
    if (buffer->mem && buffer->bitmap) {
        const RECT &r = ps->rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer->mem, r.left, r.top,
               SRCCOPY);
        SelectObject(buffer->mem, buffer->old);
    }
    if (buffer->bitmap) DeleteObject(buffer->bitmap);
    if (buffer->mem) DeleteDC(buffer->mem);
}

void Draw_ColorSwatch(HDC dc, const RECT *rect, COLORREF colour, int arrow, int disabled)
{
    RECT swatch = {rect->left + 4, rect->top + 4, rect->right - 5, rect->bottom - 5};
    HFONT font = nullptr;
    SIZE glyph = {0, 0};
    if (arrow) {
        font = ArrowFont();
        HGDIOBJ old = SelectObject(dc, font);
        GetTextExtentPoint32A(dc, "u", 1, &glyph);
        SelectObject(dc, old);
        swatch.right = rect->right - glyph.cx - 6;
    }
    FillColour(dc, &swatch, disabled ? GetSysColor(COLOR_GRAYTEXT) : colour);
    if (arrow) {
        RECT part = {swatch.right, swatch.top, swatch.right + 15, swatch.bottom};
        FillColour(dc, &part, GetSysColor(COLOR_BTNFACE));
        HGDIOBJ old = SelectObject(dc, font);
        int oldMode = SetBkMode(dc, TRANSPARENT);
        COLORREF oldColour = SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        int y = (rect->bottom - rect->top - glyph.cy) / 2 + rect->top - 1;
        TextOutA(dc, swatch.right + 4, y, "u", 1);
        SetTextColor(dc, oldColour);
        SetBkMode(dc, oldMode);
        SelectObject(dc, old);
        VerticalLine(dc, swatch.right + 3, swatch.top, swatch.bottom, GetSysColor(COLOR_BTNSHADOW));
        VerticalLine(dc, swatch.right + 4, swatch.top, swatch.bottom, GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    if (font) DeleteObject(font);
}

extern "C" void WINAPI Basekit_DrawPushButtonFace(HDC dc, const RECT *rect)
{
    DrawFrameInside(dc, rect, DFCS_BUTTONPUSH);
}

extern "C" void WINAPI Basekit_DrawPushButtonPushed(HDC dc, const RECT *rect)
{
    DrawFrameInside(dc, rect, DFCS_BUTTONPUSH | DFCS_PUSHED);
}

extern "C" void WINAPI Basekit_DrawCheckBox(HDC dc, const RECT *rect)
{
    RECT r = *rect;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK);
}

extern "C" void WINAPI Basekit_DrawCheckBoxState(HDC dc, const RECT *rect, BOOL checked)
{
    RECT r = *rect;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
}

extern "C" void WINAPI Basekit_FillButtonFace(HDC dc, const RECT *rect)
{
    FillRect(dc, rect, GetSysColorBrush(COLOR_BTNFACE));
}

extern "C" void WINAPI Basekit_DrawSwatchFrame(HDC dc, const RECT *rect)
{
    FrameColour(dc, rect, GetSysColor(COLOR_BTNFACE));
    RECT inner = *rect;
    InflateRect(&inner, -1, -1);
    DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT);
}

extern "C" void WINAPI Basekit_FillSwatch(HDC dc, const RECT *rect, COLORREF colour)
{
    RECT inner = *rect;
    InflateRect(&inner, -3, -3);
    FillColour(dc, &inner, colour);
}

extern "C" void WINAPI Basekit_DrawSwatch(HDC dc, const RECT *rect, COLORREF colour)
{
    RECT inner = *rect;
    InflateRect(&inner, -3, -3);
    FillColour(dc, &inner, colour);
    FrameColour(dc, &inner, RGB(0x80, 0x80, 0x80));
}

extern "C" void WINAPI Basekit_DrawColorDropButton(HDC dc, const RECT *rect, COLORREF colour,
                                                   BOOL arrow)
{
    Draw_ColorSwatch(dc, rect, colour, arrow != 0, 0);
}

namespace {

void FocusAndBlackFrame(HDC dc, const RECT *rect)
{
    RECT focus = *rect;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
    FrameColour(dc, rect, RGB(0, 0, 0));
}

} // namespace

extern "C" void WINAPI Basekit_DrawColorButton(HDC dc, const RECT *rect, COLORREF colour)
{
    Draw_ColorSwatch(dc, rect, colour, 0, 0);
    FocusAndBlackFrame(dc, rect);
}

extern "C" void WINAPI Basekit_DrawColorButtonDisabled(HDC dc, const RECT *rect, COLORREF colour)
{
    Draw_ColorSwatch(dc, rect, colour, 1, 0);
    FocusAndBlackFrame(dc, rect);
}

extern "C" void WINAPI Basekit_DrawColorButtonFramed(HDC dc, const RECT *rect, COLORREF colour)
{
    Draw_ColorSwatch(dc, rect, colour, 0, 0);
    FrameColour(dc, rect, GetSysColor(COLOR_BTNFACE));
}

extern "C" void WINAPI Basekit_DrawColorButtonFramedDisabled(HDC dc, const RECT *rect,
                                                             COLORREF colour)
{
    Draw_ColorSwatch(dc, rect, colour, 1, 0);
    FrameColour(dc, rect, GetSysColor(COLOR_BTNFACE));
}

extern "C" void WINAPI Basekit_DrawColorButtonPlainDisabled(HDC dc, const RECT *rect)
{
    Draw_ColorSwatch(dc, rect, 0, 1, 1);
    FrameColour(dc, rect, GetSysColor(COLOR_BTNFACE));
}

// ---- List items ----

extern "C" void WINAPI Basekit_DrawIconTextItem(HDC dc, const RECT *rect, int check,
                                                const char *text, int count, COLORREF textColour,
                                                COLORREF backColour)
{
    DrawItem(0x20002, dc, rect, check, nullptr, text, count, textColour, backColour, nullptr, 0);
}

extern "C" void WINAPI Basekit_DrawIconTextItem2(HDC dc, const RECT *rect, HICON icon,
                                                 const char *text, int count, COLORREF textColour,
                                                 COLORREF backColour)
{
    DrawItem(0x20004, dc, rect, 0, icon, text, count, textColour, backColour, nullptr, 0);
}

extern "C" void WINAPI Basekit_DrawTextItem(HDC dc, const RECT *rect, const char *text, int count,
                                            COLORREF textColour, COLORREF backColour)
{
    DrawItem(0x20001, dc, rect, 0, nullptr, text, count, textColour, backColour, nullptr, 0);
}

extern "C" void WINAPI Basekit_DrawIconCheckTextItem(HDC dc, const RECT *rect, int check,
                                                     HICON icon, const char *text, int count,
                                                     COLORREF textColour, COLORREF backColour)
{
    DrawItem(0x20006, dc, rect, check, icon, text, count, textColour, backColour, nullptr, 0);
}

extern "C" void WINAPI Basekit_DrawIconTextItemAlt(HDC dc, const RECT *rect, int check,
                                                   const char *text, int count,
                                                   COLORREF textColour, COLORREF backColour)
{
    DrawItem(0x10002, dc, rect, check, nullptr, text, count, textColour, backColour, nullptr, 0);
}

extern "C" void WINAPI Basekit_DrawIconTextItemAlt2(HDC dc, const RECT *rect, HICON icon,
                                                    const char *text, int count,
                                                    COLORREF textColour, COLORREF backColour)
{
    DrawItem(0x10004, dc, rect, 0, icon, text, count, textColour, backColour, nullptr, 0);
}

extern "C" void WINAPI Basekit_DrawTextItemAlt(HDC dc, const RECT *rect, const char *text,
                                               int count, COLORREF textColour, COLORREF backColour)
{
    DrawItem(0x10001, dc, rect, 0, nullptr, text, count, textColour, backColour, nullptr, 0);
}

extern "C" void WINAPI Basekit_DrawIconCheckTextItemAlt(HDC dc, const RECT *rect, int check,
                                                        HICON icon, const char *text, int count,
                                                        COLORREF textColour, COLORREF backColour)
{
    DrawItem(0x10006, dc, rect, check, icon, text, count, textColour, backColour, nullptr, 0);
}

extern "C" void WINAPI Basekit_DrawListItem(DWORD flags, HDC dc, const RECT *rect, int check,
                                            HICON icon, const char *text, int count,
                                            COLORREF textColour, COLORREF backColour, HFONT font)
{
    DrawItem(flags, dc, rect, check, icon, text, count, textColour, backColour, font, 1);
}

// ---- Resources ----

namespace {

void DrawBitmapResource(HDC dc, int x, int y, HINSTANCE module, UINT id, DWORD rop, int bottom)
{
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
    if (bitmap == nullptr) return;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    HDC mem = CreateCompatibleDC(dc);
    if (mem) {
        HGDIOBJ old = SelectObject(mem, bitmap);
        BitBlt(dc, x, bottom ? y - info.bmHeight : y, info.bmWidth, info.bmHeight, mem, 0, 0, rop);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    DeleteObject(bitmap);
}

} // namespace

extern "C" void WINAPI Basekit_DrawResourceBitmap(HDC dc, int x, int y, int unused1, int unused2,
                                                  HINSTANCE module, UINT id, DWORD rop)
{
    (void)unused1;
    (void)unused2;
    DrawBitmapResource(dc, x, y, module, id, rop, 0);
}

extern "C" void WINAPI Basekit_DrawResourceBitmapBottom(HDC dc, int x, int y, int unused1,
                                                        int unused2, HINSTANCE module, UINT id,
                                                        DWORD rop)
{
    (void)unused1;
    (void)unused2;
    DrawBitmapResource(dc, x, y, module, id, rop, 1);
}

extern "C" HICON WINAPI Basekit_LoadSmallIcon(HINSTANCE module, UINT id)
{
    return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

extern "C" void WINAPI Basekit_DrawSmallIcon(HINSTANCE module, HDC dc, int x, int y, UINT id)
{
    HICON icon = Basekit_LoadSmallIcon(module, id);
    if (icon == nullptr) return;
    DrawIconEx(dc, x, y, icon, 16, 16, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
}
