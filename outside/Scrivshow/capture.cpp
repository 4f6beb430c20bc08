// The capture record of a point inside the viewer, handed to the resident program through its
// mapping SCRIVSHOWMAPPEDFILE.
#include <string.h>
#include "scrivshow_int.h"

// The capture record of the text under a client point, written into the resident program's mapping.
int Scv_Capture(ScvViewer *v, int x, int y) {
    int index = v->topLine + (y - SCV_MARGIN) / (v->lineHeight ? v->lineHeight : 1);
    if (y < SCV_MARGIN || index < 0 || index >= (int)v->lines.size() || v->lines[index].empty())
        return 0;
    const std::vector<ScvPiece> &line = v->lines[index];
    HDC dc = GetDC(v->window);
    int hit = -1, hitChar = -1, px = SCV_MARGIN;
    for (size_t i = 0; i < line.size() && hit < 0; i++) {
        const ScvPiece &p = line[i];
        HGDIOBJ old = SelectObject(dc, Scv_FontFor(v, p.attr, dc));
        const unsigned char *b = (const unsigned char *)p.bytes.data(), *end = b + p.bytes.size();
        int chars = 0;
        for (const unsigned char *c = b; c < end; chars++) {
            int n = Scv_CharLen(p.attr.charset, c, end);
            int right = px + Scv_PieceWidth(dc, p, (int)(c - b) + n);
            if (x < right && x >= px) {
                hit = (int)i;
                hitChar = chars;
                break;
            }
            c += n;
        }
        px += Scv_PieceWidth(dc, p, (int)p.bytes.size());
        SelectObject(dc, old);
    }
    if (hit < 0) {
        ReleaseDC(v->window, dc);
        return 0;
    }
    // The run of the hit charset around the point: neighbouring pieces of the same charset.
    int charset = line[hit].attr.charset;
    size_t from = hit, to = hit;
    while (from > 0 && line[from - 1].attr.charset == charset)
        from--;
    while (to + 1 < line.size() && line[to + 1].attr.charset == charset)
        to++;
    std::string run;
    int wordPos = hitChar, chars = 0;
    for (size_t i = from; i <= to; i++) {
        if ((int)i == hit)
            wordPos = chars + hitChar;
        const unsigned char *b = (const unsigned char *)line[i].bytes.data(), *end = b + line[i].bytes.size();
        for (const unsigned char *c = b; c < end; c += Scv_CharLen(charset, c, end))
            chars++;
        run += line[i].bytes;
    }
    LOGFONTA lf = {};
    GetObjectA(Scv_FontFor(v, line[hit].attr, dc), sizeof lf, &lf);
    ReleaseDC(v->window, dc);

    HANDLE map = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "SCRIVSHOWMAPPEDFILE");
    if (!map)
        return 0;
    BYTE *rec = (BYTE *)MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, SCV_CAPTURE_SIZE);
    int written = 0;
    if (rec) {
        memset(rec, 0, SCV_CAPTURE_SIZE);
        DWORD size = SCV_CAPTURE_SIZE, want = 31, window = HandleToULong(v->window), length = (DWORD)chars;
        memcpy(rec, &size, 4);
        memcpy(rec + 4, &want, 4);
        memcpy(rec + 24, &window, 4);
        POINT pt = {x, y};
        ClientToScreen(v->window, &pt);
        memcpy(rec + 28, &pt.x, 4);
        memcpy(rec + 32, &pt.y, 4);
        if (run.size() > 2047) {  // keep whole characters within the record's text field
            const unsigned char *b = (const unsigned char *)run.data(), *end = b + 2047, *c = b;
            while (c < end && c + Scv_CharLen(charset, c, (const unsigned char *)run.data() + run.size()) <= end)
                c += Scv_CharLen(charset, c, (const unsigned char *)run.data() + run.size());
            run.resize(c - b);
            length = 0;
            for (c = b; c < b + run.size(); c += Scv_CharLen(charset, c, b + run.size()))
                length++;
        }
        memcpy(rec + 36, run.data(), run.size());
        memcpy(rec + 2084, &length, 4);
        memcpy(rec + 2088, &lf, sizeof lf);
        WORD cs = (WORD)charset, pos = (WORD)(wordPos < (int)length ? wordPos : 0xFFFF);
        memcpy(rec + 2148, &cs, 2);
        DWORD language = Scv_LanguageOf(v, charset);  // the record's field for the viewer's own value
        memcpy(rec + 2172, &language, 4);
        memcpy(rec + 2150, &pos, 2);
        RECT lr = {SCV_MARGIN, SCV_MARGIN + (index - v->topLine) * v->lineHeight, px,
                   SCV_MARGIN + (index - v->topLine + 1) * v->lineHeight};
        MapWindowPoints(v->window, nullptr, (POINT *)&lr, 2);
        memcpy(rec + 2152, &lr, sizeof lr);
        UnmapViewOfFile(rec);
        written = 1;
    }
    CloseHandle(map);
    return written;
}

