// The entries before and after those a word list shows, for the "earlier" and "later" commands of
// the search station and the pop-up.
//
// The nearest entry is taken by entry number in the dictionary of the list's first item: before
// the smallest or after the largest number its items hold from that dictionary (a group's list
// mixes dictionaries whose numbers do not compare), passing over the parts of an entry.  A book
// has no such order.
#ifndef COMMON_NEIGHBOURS_H
#define COMMON_NEIGHBOURS_H

#include "lexidata.h"

// Whether entries lie before (later 0) or after (later 1) those listed.
bool Neighbour_Exists(const VLWordList *words, int later);

// The list made the nearest main entry that way; false with the list unchanged.
bool Neighbour_Show(VLWordList *words, int later);

#endif
