// The library's exported operations that need no editor window.
#include "scrivel_int.h"

int WINAPI Scrivel_RtfToText(const char *rtf, char *out) { return ScrivelRtf_ToTagged(rtf, out); }
