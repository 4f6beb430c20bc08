// Document files: tagged text (format 1) or RTF (format 2), read whole and written whole.
#include "scrivel_int.h"
#include <cstring>

namespace {

// Reads the whole file into a zero-filled block of its size + 4.
int ReadWhole(const char *path, char **out, DWORD *size) {
    *out = nullptr;
    *size = 0;
    HANDLE h = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return SCRIVEL_E_OPEN;
    int rc = SCRIVEL_OK;
    DWORD high = 0;
    DWORD low = GetFileSize(h, &high);
    char *buf = nullptr;
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > 0x7FFFFFF0) {
        rc = SCRIVEL_E_OPEN;
    } else {
        buf = static_cast<char *>(ScrivelMem_Alloc(low + 4));
        if (!buf) {
            rc = SCRIVEL_E_MEMORY;
        } else {
            std::memset(buf, 0, low + 4);
            DWORD got = 0;
            if (low > 0 && (!ReadFile(h, buf, low, &got, nullptr) || got != low)) rc = SCRIVEL_E_READ;
        }
    }
    CloseHandle(h);
    if (rc != SCRIVEL_OK) {
        ScrivelMem_Free(buf);
        return rc;
    }
    *out = buf;
    *size = low;
    return SCRIVEL_OK;
}

int WriteWhole(const char *path, const char *data, int length) {
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return SCRIVEL_E_CREATE;
    DWORD put = 0;
    BOOL ok = WriteFile(h, data, static_cast<DWORD>(length), &put, nullptr);
    if (!CloseHandle(h)) ok = FALSE;
    return (ok && put == static_cast<DWORD>(length)) ? SCRIVEL_OK : SCRIVEL_E_WRITE;
}

// Converts the text as the document's format and style ask; *owned is set when the result is a
// new block.
int Prepare(EditorDocument *doc, char *text, int format, char **result) {
    *result = text;
    if (format == SCRIVEL_FORMAT_RTF) {
        int n = ScrivelRtf_ToTagged(text, nullptr);
        char *conv = static_cast<char *>(ScrivelMem_Alloc(n + 4));
        if (!conv) return SCRIVEL_E_MEMORY;
        ScrivelRtf_ToTagged(text, conv);
        *result = conv;
    }
    if (doc->style & SCRIVEL_WS_PLAIN) {
        int n = ScrivelTag_StripToCharset(*result, nullptr, 1);
        char *plain = static_cast<char *>(ScrivelMem_Alloc(n));
        if (!plain) {
            if (*result != text) ScrivelMem_Free(*result);
            *result = text;
            return SCRIVEL_E_MEMORY;
        }
        ScrivelTag_StripToCharset(*result, plain, 1);
        if (*result != text) ScrivelMem_Free(*result);
        *result = plain;
    }
    return SCRIVEL_OK;
}

void AfterRead(EditorDocument *doc) {
    doc->topLine = 0;
    doc->hOffset = 0;
    if (doc->wrap) {
        ScrivelLayout_WrapAll(doc, doc->wrapWidth, nullptr, 0);
    } else {
        ScrivelLayout_UpdateMarkers(doc);
    }
    ScrivelLayout_SetDepth(doc, doc->outlineDepth);
}

}  // namespace

int ScrivelDoc_LoadFile(EditorDocument *doc, const char *path, int format) {
    if (!path) return SCRIVEL_E_OPEN;
    char *raw = nullptr;
    DWORD size = 0;
    int rc = ReadWhole(path, &raw, &size);
    if (rc != SCRIVEL_OK) return rc;
    if (size == 0) {
        ScrivelMem_Free(raw);
        return SCRIVEL_OK;
    }
    char *text = nullptr;
    rc = Prepare(doc, raw, format, &text);
    if (rc == SCRIVEL_OK) rc = ScrivelDoc_Clear(doc);
    int lines = 0;
    if (rc == SCRIVEL_OK) {
        // Every byte of a tagged file is read; the reader drops NUL bytes, so the NUL that a
        // saved file ends with adds no cell.
        int length = (text == raw) ? static_cast<int>(size) : static_cast<int>(std::strlen(text));
        lines = ScrivelTag_Read(doc, text, length, 0);
        if (lines < 0) rc = lines;
    }
    if (doc->lineCount > 0) AfterRead(doc);
    if (rc == SCRIVEL_OK && lines > 0) {
        lstrcpynA(doc->name, path, MAX_PATH);
        doc->format = format == SCRIVEL_FORMAT_RTF ? SCRIVEL_FORMAT_RTF : SCRIVEL_FORMAT_TAGGED;
    }
    if (text != raw) ScrivelMem_Free(text);
    ScrivelMem_Free(raw);
    return rc;
}

int ScrivelDoc_SaveRange(EditorDocument *doc, const ScrivelRange *range, const char *path, int format) {
    if (doc->lineCount == 0) return SCRIVEL_E_EMPTY;
    char *buf = nullptr;
    int length = 0;
    int rc = (format == SCRIVEL_FORMAT_RTF) ? ScrivelRtf_Write(doc, range, &buf, &length)
                                            : ScrivelTag_Write(doc, range, &buf, &length);
    if (rc != SCRIVEL_OK) return rc;
    lstrcpynA(doc->name, path, MAX_PATH);
    doc->format = format == SCRIVEL_FORMAT_RTF ? SCRIVEL_FORMAT_RTF : SCRIVEL_FORMAT_TAGGED;
    rc = WriteWhole(path, buf, length);
    ScrivelMem_Free(buf);
    return rc;
}

int ScrivelDoc_SaveFile(EditorDocument *doc, const char *path, int format) {
    if (doc->lineCount == 0) return SCRIVEL_E_EMPTY;
    ScrivelRange r;
    ScrivelDoc_WholeRange(doc, &r);
    return ScrivelDoc_SaveRange(doc, &r, path, format);
}

int ScrivelDoc_SetText(EditorDocument *doc, const char *text) {
    if (!text) return SCRIVEL_E_EMPTY;
    int n = static_cast<int>(std::strlen(text));
    char *copy = static_cast<char *>(ScrivelMem_Alloc(n + 1));
    if (!copy) return SCRIVEL_E_MEMORY;
    int k = 0;
    for (int i = 0; i < n; ++i)
        if (text[i] != '\n') copy[k++] = text[i];
    copy[k] = 0;
    int rc = ScrivelDoc_Clear(doc);
    int lines = 0;
    if (rc == SCRIVEL_OK) {
        lines = ScrivelTag_Read(doc, copy, k, 0);
        if (lines < 0) rc = lines;
    }
    if (doc->lineCount > 0) AfterRead(doc);
    ScrivelMem_Free(copy);
    return rc == SCRIVEL_OK ? lines : rc;
}
