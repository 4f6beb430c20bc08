/* Resources of the finder program itself (lexfinder.rc): the registration scripts.  The ids of
 * the resource library and of its fragment for the finder (title words, frame icon) are in
 * uiassets.h. */
#ifndef LEXFINDER_FINDER_RES_H
#define LEXFINDER_FINDER_RES_H

#include "uiassets.h"

/* Registration scripts (generated scripts.rc, from data/): resource type ENGINE_INFO numbered 121
 * to 650 (one engine dictionary each), LANG_INFO 108 to 119 and 143 (one language each). */

#endif
