// Text decoding shared by the record and entry readers of the dictionary data library.
#ifndef LEXIDATA_TEXTBLOCK_INT_H
#define LEXIDATA_TEXTBLOCK_INT_H

#include "lexidata_int.h"

// Largest stored or plain length of a text block that is read at all.
const DWORD kLexiBlockLimit = 0x1000000;

// 1 for version 1 (decoder version above 1024), else 0.
int Lexi_VersionOf(const DicInfo *record);
// The version stored by HNEncodeSetVersion, for the readers that take no dictionary.
int Lexi_CurrentVersion(void);
// Decodes n stored bytes into out[0..cap); the plain length, or -1 for a damaged block.
long Lexi_DecodeText(int version, const BYTE *in, size_t n, BYTE *out, size_t cap);
long Lexi_DecodeV1(const BYTE *in, size_t n, BYTE *out, size_t cap);
// Most plain bytes that n stored bytes of the version can stand for.
size_t Lexi_MaxPlain(int version, size_t stored);
// The room, at most cap, that decoding these n stored bytes needs.
size_t Lexi_PlainRoom(int version, const BYTE *in, size_t n, size_t cap);
// Decodes a short string (an index key or name) into a new zero-terminated block of the
// library's heap, at most cap plain bytes; null when damaged.
char *Lexi_DecodeString(int version, const BYTE *in, size_t n, size_t cap, size_t *lenOut);

#endif
