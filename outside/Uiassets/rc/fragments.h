/* The resource fragments, one per program or library that loads them; uiassets.rc reads this
 * list once per language (see lang.h).  A new program adds its fragment here. */
#include "shared.rc"
#include "widgetry.rc"
#include "vocabank.rc"
#include "bubblepane.rc"
#include "chartpane.rc"
#include "prefpane.rc"
#include "velomira.rc"
#include "querydesk.rc"
#include "drillbook.rc"
#include "lexfinder.rc"
