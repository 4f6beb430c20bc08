/* Wordstrand: see the library folder for what it holds. */
#ifndef WORDSTRAND_H
#define WORDSTRAND_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif /* WORDSTRAND_H */
