/* Resource ids of the relay library's own dialog. */
#define IDD_SHAREDKIT_QUESTION 611
#define IDC_SHAREDKIT_ICON 1001
#define IDC_SHAREDKIT_TEXT 1002
#define IDC_SHAREDKIT_CHECK 1003
