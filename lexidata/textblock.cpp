// Decoding of stored text: plain, version 0 (the shared byte code) and version 1 (a substitution
// table over a length prefix and a zlib stream).  Every decoder is bounded by its input and its
// output room and answers -1 for a damaged block; nothing here keeps state between calls except
// the version that HNEncodeSetVersion stores for the operations that take no dictionary.
#include <zlib.h>
#include "lexidata_int.h"
#include "textblock_int.h"
#include "../common/textcodec.h"

namespace {
volatile LONG g_version1;  // the version chosen last by HNEncodeSetVersion (1 or 0)
}

extern "C" int WINAPI HNEncodeSetVersion(DWORD version) {
    int v1 = version > 1024 ? 1 : 0;
    InterlockedExchange(&g_version1, v1);
    return v1;
}

int Lexi_CurrentVersion(void) {
    return g_version1 ? 1 : 0;
}

int Lexi_VersionOf(const DicInfo *record) {
    return record && record->decoderVersion > 1024 ? 1 : 0;
}

namespace {

// The length prefix of a version 1 block: one mapped byte, or 0 followed by a 24-bit length.  The
// plain length and where the payload starts; false when the block is too short for its prefix.
bool PrefixV1(const BYTE *in, size_t n, size_t *plain, size_t *at) {
    if (n == 0) return false;
    BYTE prefix[4];
    size_t take = n < 4 ? n : 4;
    for (size_t i = 0; i < take; i++) prefix[i] = TextCodec_T1[in[i]];
    if (prefix[0] != 0) {
        *plain = prefix[0];
        *at = 1;
        return true;
    }
    if (n < 4) return false;
    *plain = prefix[1] | (prefix[2] << 8) | ((size_t)prefix[3] << 16);
    *at = 4;
    return true;
}

}  // namespace

long Lexi_DecodeV1(const BYTE *in, size_t n, BYTE *out, size_t cap) {
    size_t plain, at;
    if (!PrefixV1(in, n, &plain, &at)) return -1;
    if (plain > cap) return -1;
    size_t payload = n - at;
    if (plain <= 32) {
        // Short texts are stored as they are; the payload must hold them whole.
        if (payload < plain) return -1;
        for (size_t i = 0; i < plain; i++) out[i] = TextCodec_T1[in[at + i]];
        return (long)plain;
    }
    if (payload == 0) return -1;
    BYTE small[2048];  // most payloads are short: no heap block for them
    small[0] = 0;
    BYTE *work = payload <= sizeof small ? small : (BYTE *)VLMem_Malloc((DWORD)payload);
    if (!work) return -1;
    for (size_t i = 0; i < payload; i++) work[i] = TextCodec_T1[in[at + i]];
    uLongf got = (uLongf)plain;
    int rc = uncompress(out, &got, work, (uLong)payload);
    if (work != small) Lexi_Free(work);
    // A damaged stream, or one that yields another length than it announced, is refused: no
    // unwritten byte of the result is ever shown.
    if (rc != Z_OK || got != plain) return -1;
    return (long)plain;
}

long Lexi_DecodeText(int version, const BYTE *in, size_t n, BYTE *out, size_t cap) {
    if (version) return Lexi_DecodeV1(in, n, out, cap);
    return TextCodec_DecodeV0(in, n, out, cap);
}

size_t Lexi_MaxPlain(int version, size_t stored) {
    // Most plain bytes a block of `stored` bytes can decode to: the byte code's largest growth,
    // or zlib's largest compression ratio with room for the prefix.  A bound beyond the size type
    // is the size type's largest value, never a wrapped small one.
    const size_t kMax = (size_t)-1;
    if (version) return stored > (kMax - 64) / 1040 ? kMax : stored * 1040 + 64;
    return stored > kMax / TEXTCODEC_V0_MAX_GROWTH ? kMax : stored * TEXTCODEC_V0_MAX_GROWTH;
}

size_t Lexi_PlainRoom(int version, const BYTE *in, size_t n, size_t cap) {
    // The announced length where the block has one (a longer one is refused as the decoder
    // refuses it), else the largest growth.
    size_t room = Lexi_MaxPlain(version, n), plain, at;
    if (version && PrefixV1(in, n, &plain, &at)) room = plain;
    return room > cap ? cap : room;
}

char *Lexi_DecodeString(int version, const BYTE *in, size_t n, size_t cap, size_t *lenOut) {
    // A short result is decoded on the stack and the string gets a block of its own length.
    size_t room = Lexi_PlainRoom(version, in, n, cap);
    BYTE small[4096];
    BYTE *work = room < sizeof small ? small : (BYTE *)VLMem_Malloc((DWORD)room + 1);
    if (!work) return nullptr;
    long got = Lexi_DecodeText(version, in, n, work, room);
    char *out = got < 0 ? nullptr : (char *)VLMem_Malloc((DWORD)got + 1);
    if (out) {
        memcpy(out, work, (size_t)got);
        out[got] = 0;
        *lenOut = (size_t)got;
    }
    if (work != small) Lexi_Free(work);
    return out;
}
