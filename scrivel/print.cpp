// Printing: the document (or the selection) is copied, wrapped at the page width with the
// printer's font heights, cut into pages, and each page drawn with a header line.
#include "scrivel_int.h"
#include <commdlg.h>
#include <cstdio>
#include "strandkit.h"

namespace {

// A copy of a range of the window's document laid out for the printer dc.
EditorDocument *CopyForPrinter(ScrivelWindow *w, HDC dc, const ScrivelRange *range, int pageWidth) {
    EditorDocument *src = w->doc;
    ScrivelRange whole;
    if (!range) {
        ScrivelDoc_WholeRange(src, &whole);
        range = &whole;
    }
    char *text = nullptr;
    int length = 0;
    if (ScrivelTag_Write(src, range, &text, &length) != SCRIVEL_OK) return nullptr;
    ScrivelDocParams p = {};
    p.style = src->style;
    p.sansDefault = src->sansDefault;
    p.langId = src->langId;
    p.measurer = ScrivelMeasure_NewGdi();
    if (p.measurer) {
        p.measurer->dpiX = GetDeviceCaps(dc, LOGPIXELSX);
        p.measurer->dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    }
    EditorDocument *copy = nullptr;
    if (ScrivelDoc_Create(&p, &copy) != SCRIVEL_OK) {
        ScrivelMem_Free(text);
        return nullptr;
    }
    int margin = pageWidth / 14;
    copy->marginLeft = copy->marginTop = copy->marginRight = copy->marginBottom = margin;
    copy->tabWidth = 200;
    copy->sizeBase = src->sizeBase;
    ScrivelDoc_ComputeHeights(copy);
    ScrivelDoc_Clear(copy);
    int lines = ScrivelTag_Read(copy, text, length, 0);
    ScrivelMem_Free(text);
    if (lines <= 0) {
        ScrivelDoc_Destroy(copy);
        return nullptr;
    }
    copy->wrap = 1;
    copy->outlineDepth = src->outlineDepth;
    ScrivelLayout_WrapAll(copy, pageWidth, nullptr, 0);
    ScrivelLayout_SetDepth(copy, copy->outlineDepth);
    return copy;
}

}  // namespace

int ScrivelPrint_Paginate(const EditorDocument *doc, int pageHeight, int *starts, int maxPages) {
    int pages = 0;
    int bottom = pageHeight - doc->marginBottom;
    int line = 0;
    while (line < doc->lineCount) {
        while (line < doc->lineCount && (doc->lines[line]->flags & SCRIVEL_LINE_HIDDEN)) ++line;
        if (line >= doc->lineCount) break;
        if (starts && pages < maxPages) starts[pages] = line;
        ++pages;
        int y = doc->marginTop;
        bool first = true;
        for (; line < doc->lineCount; ++line) {
            const LineRecord *l = doc->lines[line];
            if (l->flags & SCRIVEL_LINE_HIDDEN) continue;
            if (!first && (y >= bottom || y + l->height > bottom)) break;
            first = false;
            y += l->height;
        }
    }
    return pages;
}

void ScrivelPrint_Header(HDC dc, const char *name, int page, int pages, int width, int left, int top) {
    UINT charset = Strandkit_GetUiCharset();
    LOGFONTA lf = {};
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = static_cast<BYTE>(charset);
    LOGFONTA gui;
    if (charset != 0 && GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui))
        lstrcpynA(lf.lfFaceName, gui.lfFaceName, LF_FACESIZE);
    else
        lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    int y = top + tm.tmAscent;
    SetTextColor(dc, 0);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    Strandkit_TextOut(dc, left, y, name, lstrlenA(name), charset);
    char text[64];
    std::snprintf(text, sizeof(text), "Page %d/%d", page, pages);
    SetTextAlign(dc, TA_BASELINE | TA_RIGHT);
    Strandkit_TextOut(dc, width - left, y, text, lstrlenA(text), charset);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    if (old) SelectObject(dc, old);
    if (font) DeleteObject(font);
}

int ScrivelPrint_ToDc(ScrivelWindow *w, HDC dc, const ScrivelRange *range, int startDoc) {
    EditorDocument *src = ScrivelWin_Doc(w);
    if (!src || src->lineCount == 0 || !dc) return SCRIVEL_E_EMPTY;
    int width = GetDeviceCaps(dc, HORZRES);
    int height = GetDeviceCaps(dc, VERTRES);
    if (width <= 0 || height <= 0) return SCRIVEL_E_EMPTY;
    EditorDocument *copy = CopyForPrinter(w, dc, range, width);
    if (!copy) return SCRIVEL_E_MEMORY;
    int pages = ScrivelPrint_Paginate(copy, height, nullptr, 0);
    int *starts = static_cast<int *>(ScrivelMem_Alloc(sizeof(int) * (pages > 0 ? pages : 1)));
    int rc = starts ? SCRIVEL_OK : SCRIVEL_E_MEMORY;
    if (rc == SCRIVEL_OK) ScrivelPrint_Paginate(copy, height, starts, pages);
    if (rc == SCRIVEL_OK && startDoc) {
        DOCINFOA di = {sizeof(di), "Test.doc", nullptr, nullptr, 0};
        if (StartDocA(dc, &di) <= 0) rc = SCRIVEL_E_CREATE;
    }
    HBRUSH bg = CreateSolidBrush(RGB(255, 255, 255));
    int printed = 0;
    for (int p = 0; rc == SCRIVEL_OK && p < pages; ++p) {
        if (startDoc && StartPage(dc) <= 0) {
            rc = SCRIVEL_E_WRITE;
            break;
        }
        RECT page = {0, 0, width, height};
        copy->topLine = starts[p];
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_BASELINE | TA_LEFT);
        ScrivelPaint_Lines(copy, dc, &page, 1, nullptr, bg);
        ScrivelPrint_Header(dc, src->name, p + 1, pages, width, copy->marginLeft, 0);
        if (startDoc && EndPage(dc) <= 0) rc = SCRIVEL_E_WRITE;
        else ++printed;
    }
    if (startDoc) {
        if (rc == SCRIVEL_OK) EndDoc(dc);
        else AbortDoc(dc);
    }
    DeleteObject(bg);
    ScrivelMem_Free(starts);
    ScrivelDoc_Destroy(copy);
    return rc == SCRIVEL_OK ? printed : rc;
}

int ScrivelPrint_Dialog(ScrivelWindow *w) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || doc->lineCount == 0) return 0;
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = w->hwnd;
    pd.Flags = PD_RETURNDC | (w->sel.present ? PD_SELECTION : PD_NOSELECTION);
    if (!PrintDlgA(&pd)) return 0;  // cancelled
    ScrivelRange r;
    bool selection = (pd.Flags & PD_SELECTION) && ScrivelSel_Range(w, &r);
    int rc = ScrivelPrint_ToDc(w, pd.hDC, selection ? &r : nullptr, 1);
    DeleteDC(pd.hDC);
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    return rc;
}
