/* String ids of the translation window. */
#define IDS_TRANSPANE_CAPTION 1
#define IDS_TRANSPANE_EMPTY 2      /* before any text */
#define IDS_TRANSPANE_FROM_RTF 3   /* format: dictionary id, translator id */
#define IDS_TRANSPANE_FROM_TEXT 4  /* format: dictionary id, translator id */
#define IDS_TRANSPANE_FROM_REQUEST 5 /* format: dictionary id */
