/* String ids of the splash window and the about box (the dialog's ids are in creditpane.h). */
#define IDS_CREDITPANE_PRODUCT 1
#define IDS_CREDITPANE_JAPANESE 2
#define IDS_CREDITPANE_ENGLISH 3
#define IDS_CREDITPANE_VERSION 4
#define IDS_CREDITPANE_COPYRIGHT 5
#define IDS_CREDITPANE_STARTING 6
