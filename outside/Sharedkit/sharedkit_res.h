/* Resource ids of the relay library's own dialog and help window. */
#define IDD_SHAREDKIT_QUESTION 611
#define IDC_SHAREDKIT_ICON 1001
#define IDC_SHAREDKIT_TEXT 1002
#define IDC_SHAREDKIT_CHECK 1003

/* Help window: its title, the subject of each help command, the lines below the subject. */
#define IDS_SHAREDKIT_HELP_TITLE 700
#define IDS_SHAREDKIT_HELP_CONTENTS 701   /* command 1 */
#define IDS_SHAREDKIT_HELP_TOPICS 702     /* 5601 */
#define IDS_SHAREDKIT_HELP_START 703      /* 5602 */
#define IDS_SHAREDKIT_HELP_SEARCH 704     /* 5604 */
#define IDS_SHAREDKIT_HELP_DICS 705       /* 5605 */
#define IDS_SHAREDKIT_HELP_STUDY 706      /* 5606 */
#define IDS_SHAREDKIT_HELP_OPTIONS 707    /* 5607 */
#define IDS_SHAREDKIT_HELP_TOPIC 710      /* before the topic number */
#define IDS_SHAREDKIT_HELP_PATH 711       /* before the caller's file */
#define IDS_SHAREDKIT_HELP_NOTE 712
#define IDC_SHAREDKIT_HELP_SUBJECT 100
#define IDC_SHAREDKIT_HELP_BODY 101
