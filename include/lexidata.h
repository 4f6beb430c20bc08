/* Lexidata: see the library folder for what it holds. */
#ifndef LEXIDATA_H
#define LEXIDATA_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif /* LEXIDATA_H */
