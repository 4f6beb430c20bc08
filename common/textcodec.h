// The text codec shared by Basekit and Lexidata (compiled into both; neither links the other).
#ifndef COMMON_TEXTCODEC_H
#define COMMON_TEXTCODEC_H
#endif
