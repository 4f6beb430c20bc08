/* String ids of the typing drill: prompts 1000 + n and texts 1100 + n for line n. */
#define IDS_KEYDRILL_CAPTION 1
#define IDS_KEYDRILL_LINE 2       /* format: line, lines */
#define IDS_KEYDRILL_STATUS 3     /* format: typed, misses, accuracy */
#define IDS_KEYDRILL_DONE 4
#define IDS_KEYDRILL_AGAIN 5
#define IDS_KEYDRILL_HINT 6
#define IDS_KEYDRILL_PROMPT 1000
#define IDS_KEYDRILL_TEXT 1100
