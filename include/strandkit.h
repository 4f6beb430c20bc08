/* Strandkit: see the library folder for what it holds. */
#ifndef STRANDKIT_H
#define STRANDKIT_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif /* STRANDKIT_H */
