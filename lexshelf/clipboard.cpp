// One entry on the clipboard in three formats: rich text, the viewer's own format and plain text.
#include <string.h>
#include "lexshelf_int.h"
#include "lexicore.h"
#include "scrivshow.h"

namespace {

enum Rendering { kRtf, kVltf, kPlain };

int Render(Rendering r, const char *text, int length, char *out, int outSize, DWORD dicId) {
    switch (r) {
    case kRtf: return Scrivshow_RenderRtf(text, length, out, outSize, dicId);
    case kVltf: return Scrivshow_RenderVltf(text, length, out, outSize);
    default: return Scrivshow_RenderPlain(text, length, out, outSize, -1);
    }
}

// Puts one rendering on the open clipboard; false when its block could not be made.
bool Put(UINT format, Rendering r, const char *text, int length, DWORD dicId) {
    int n = Render(r, text, length, nullptr, 0, dicId);
    if (n < 0)
        return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)n + 1);
    char *p = block ? (char *)GlobalLock(block) : nullptr;
    if (!p) {
        if (block)
            GlobalFree(block);
        return false;
    }
    p[0] = 0;
    Render(r, text, length, p, n + 1, dicId);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) {
        GlobalFree(block);
        return false;
    }
    return true;
}

}  // namespace

extern "C" BOOL WINAPI Lexshelf_CopyEntry(const VLDataItem *item) {
    if (!item)
        return FALSE;
    VLData data = {};
    if (!Lexicore_ReadEntryText(item, &data))
        return FALSE;
    BOOL result = FALSE;
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        DWORD dicId = item->head.fileId << 8 | (item->head.subDicNo & 0xFF);
        const char *text = data.data1 ? data.data1 : "";
        int length = data.data1 ? (int)data.len1 : 0;
        // A block that cannot be made leaves the later formats out.
        result = Put(RegisterClipboardFormatA("Rich Text Format"), kRtf, text, length, dicId) &&
                         Put(RegisterClipboardFormatA("VLTF Text Format"), kVltf, text, length, dicId) &&
                         Put(CF_TEXT, kPlain, text, length, dicId)
                     ? TRUE
                     : FALSE;
        CloseClipboard();
    }
    VLMem_Free(data.data1);
    VLMem_Free(data.data2);
    return result;
}
