// The text codec of dictionary text, for tools that prepare it (the codec itself is shared with
// the dictionary data library).
#include "basekit.h"
#include "../common/textcodec.h"

extern "C" int WINAPI Basekit_TextDecode(char *out, const char *in, int count)
{
    if (out == nullptr || in == nullptr || count < 1) return 0;
    long n = TextCodec_DecodeV0(reinterpret_cast<const unsigned char *>(in), (size_t)count,
                                reinterpret_cast<unsigned char *>(out),
                                (size_t)count * TEXTCODEC_V0_MAX_GROWTH);
    return n < 0 ? 0 : (int)n;
}

extern "C" int WINAPI Basekit_TextEncode(char *out, const char *in, int count)
{
    if (out == nullptr || in == nullptr || count < 1) return 0;
    return (int)TextCodec_EncodeV0(reinterpret_cast<const unsigned char *>(in), (size_t)count,
                                   reinterpret_cast<unsigned char *>(out), nullptr, nullptr);
}
