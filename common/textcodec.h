// The text codec shared by Basekit and Lexidata (compiled into both; neither links the other).
//
// Dictionary text may be stored in one of two codings.  Version 0 is a byte code of literals,
// control bytes, repeats, small differences and back-references, written through the
// substitution table TextCodec_T0 (a stored byte i stands for the value T0[i]).  Version 1 maps
// every stored byte through TextCodec_T1 and then holds a length prefix and a zlib stream; its
// decoder lives with the dictionary data library.  Both tables are permutations of 0..255 and are
// described in docs/formats/dictionary-file.md.
//
// Every function here keeps its state on the stack: calls may overlap freely.
#ifndef COMMON_TEXTCODEC_H
#define COMMON_TEXTCODEC_H

#include <stddef.h>
#include <stdint.h>

// The substitution tables: stored byte i means the value T[i].
extern const unsigned char TextCodec_T0[256];
extern const unsigned char TextCodec_T1[256];

// The inverse of a substitution table: returns the stored byte i with table[i] == value.
unsigned char TextCodec_T0Inverse(unsigned char value);
unsigned char TextCodec_T1Inverse(unsigned char value);

// Most plain bytes that one coded byte can stand for (a three-byte copy code of 256 bytes):
// an output room of TEXTCODEC_V0_MAX_GROWTH * inLen bytes holds any decoding of inLen bytes.
#define TEXTCODEC_V0_MAX_GROWTH 86

// Decodes version-0 coded bytes in[0..inLen) into out[0..outCap).  Returns the number of plain
// bytes written, or -1 when the input is damaged: an operand missing at the end, a repeat or
// difference code with no previous output byte, a copy from before the start of the output or of
// distance 0, or more output than outCap.  Never reads in[] past inLen, never reads or writes
// out[] outside 0..outCap.  On -1 the contents of out[] are unspecified.
long TextCodec_DecodeV0(const unsigned char *in, size_t inLen, unsigned char *out, size_t outCap);

// The random source of the encoder: returns a uniformly distributed 32-bit value.  A chance of
// m/n fires when (draw * n) >> 32 is below m.
typedef uint32_t (*TextCodecRandom)(void *context);

// Encodes plain bytes in[0..inLen) into version-0 code in out[], which must hold 2 * inLen bytes.
// Returns the number of coded bytes written (0 for an empty input).  With random == null the
// encoder draws from its own generator.  Every encoding decodes back to the input.
size_t TextCodec_EncodeV0(const unsigned char *in, size_t inLen, unsigned char *out,
                          TextCodecRandom random, void *context);

#endif
