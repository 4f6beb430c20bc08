/* Codepager: see the library folder for what it holds. */
#ifndef CODEPAGER_H
#define CODEPAGER_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
}
#endif

#endif /* CODEPAGER_H */
