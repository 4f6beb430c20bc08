/* String ids of the control bar: labels 1000 + n and tooltips 2000 + n for the button of bit n. */
#define IDS_TOOLSTRIP_CAPTION 1
#define IDS_TOOLSTRIP_LABEL 1000
#define IDS_TOOLSTRIP_TIP 2000
