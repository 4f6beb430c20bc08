// Label, page and file items and the entry text pair.
#include "lexidata_int.h"

namespace {
size_t Len(const char *s) { return s ? strlen(s) : 0; }
}

// ---- Label items ----------------------------------------------------------------------------

extern "C" VLLabelItem *WINAPI VLLabelItem_Create(const char *text) {
    size_t n = Len(text);
    if (n > 0x7FFFFF00) return nullptr;
    size_t size = sizeof(VLLabelItem) + (n ? n + 1 : 0);
    VLLabelItem *item = (VLLabelItem *)Lexi_Alloc(size);
    if (!item) return nullptr;
    item->head.size = (DWORD)size;
    item->head.type = VLITEM_LABEL;
    if (n) {
        item->text = (char *)(item + 1);
        memcpy(item->text, text, n + 1);
        item->textLen = (LONG)n;
    }
    return item;
}

extern "C" VLLabelItem *WINAPI VLLabelItem_Dup(const VLLabelItem *item) {
    if (!item) return nullptr;
    VLLabelItem *copy = VLLabelItem_Create(item->textLen > 0 ? item->text : nullptr);
    if (!copy) return nullptr;
    // The head and the label numbers travel with the copy; the text pointer is the copy's own.
    DWORD size = copy->head.size;
    char *text = copy->text;
    LONG len = copy->textLen;
    memcpy(copy, item, sizeof(VLLabelItem));
    copy->head.size = size;
    copy->text = text;
    copy->textLen = len;
    return copy;
}

extern "C" void WINAPI VLLabelItem_Destroy(VLLabelItem *item) {
    Lexi_Free(item);
}

// ---- Page items -----------------------------------------------------------------------------

extern "C" VLPageItem *WINAPI VLPageItem_Create(void) {
    VLPageItem *item = (VLPageItem *)Lexi_Alloc(sizeof(VLPageItem));
    if (!item) return nullptr;
    item->head.size = sizeof(VLPageItem);
    item->head.type = VLITEM_PAGE;
    return item;
}

extern "C" void WINAPI VLPageItem_Destroy(VLPageItem *item) {
    if (!item) return;
    Lexi_Free(item->name);
    Lexi_Free(item);
}

// ---- File items -----------------------------------------------------------------------------

extern "C" VLFileItem *WINAPI VLFileItem_Create(const VLFileItem *head, const char *first,
                                                const char *second) {
    size_t n1 = Len(first), n2 = Len(second);
    if (n1 > 0x3FFFFF00 || n2 > 0x3FFFFF00) return nullptr;
    size_t size = sizeof(VLFileItem) + n1 + 1 + (n2 ? n2 + 1 : 0);
    VLFileItem *item = (VLFileItem *)Lexi_Alloc(size);
    if (!item) return nullptr;
    if (head) memcpy(item, head, sizeof(VLFileItem));
    item->head.size = (DWORD)size;
    item->head.type = VLITEM_FILE;
    char *at = (char *)(item + 1);
    item->first = at;
    if (n1) memcpy(at, first, n1);
    at[n1] = 0;
    item->firstLen = (LONG)n1;
    if (n2) {
        item->second = at + n1 + 1;
        memcpy(item->second, second, n2 + 1);
        item->secondLen = (LONG)n2;
    } else {
        item->second = item->first;
        item->secondLen = item->firstLen;
    }
    return item;
}

extern "C" VLFileItem *WINAPI VLFileItem_Dup(const VLFileItem *item) {
    if (!item) return nullptr;
    const char *second = item->second == item->first ? nullptr : item->second;
    return VLFileItem_Create(item, item->first, second);
}

// ---- Entry text pair ------------------------------------------------------------------------

extern "C" VLData *WINAPI VLData_Create(DWORD kind, DWORD len1, const void *data1, DWORD len2,
                                        const void *data2) {
    VLData *data = (VLData *)Lexi_Alloc(sizeof(VLData));
    if (!data) return nullptr;
    data->kind = kind;
    const DWORD lens[2] = {len1, len2};
    const void *src[2] = {data1, data2};
    char **dst[2] = {&data->data1, &data->data2};
    DWORD *dlen[2] = {&data->len1, &data->len2};
    for (int i = 0; i < 2; i++) {
        if (lens[i] == 0 || !src[i]) continue;
        char *block = (char *)Lexi_Alloc((size_t)lens[i] + 1);
        if (!block) {
            VLData_Destroy(data);
            return nullptr;
        }
        memcpy(block, src[i], lens[i]);
        *dst[i] = block;
        *dlen[i] = lens[i];
    }
    return data;
}

extern "C" void WINAPI VLData_Destroy(VLData *data) {
    if (!data) return;
    Lexi_Free(data->data1);
    Lexi_Free(data->data2);
    Lexi_Free(data);
}
