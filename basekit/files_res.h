// Resource ids of the copy progress dialog (copyprogress.rc, copyprogress.cpp).
#ifndef BASEKIT_FILES_RES_H
#define BASEKIT_FILES_RES_H
#define IDD_COPY_PROGRESS 103
#define IDC_COPY_TEXT 1003
#define IDC_COPY_BAR 1004
#endif
