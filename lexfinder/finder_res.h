/* Resources of the finder program itself (lexfinder.rc) and the ids of the resource library that
 * it takes (uiassets.h names them; the fallbacks below keep the numbers the finder is built
 * against). */
#ifndef LEXFINDER_FINDER_RES_H
#define LEXFINDER_FINDER_RES_H

#include "uiassets.h"

/* Registration scripts: ENGINE_INFO 121 to 650 (one engine dictionary each), LANG_INFO 108 to 119
 * and 143 (one language each). */
#define FINDER_ENGINE_SCRIPT_FIRST 121
#define FINDER_ENGINE_SCRIPT_LAST 650

/* The finder's own resources from the resource library's fragment rc/lexfinder_own.rc: title words
 * of books (1 and 2 words of titles, 4 to 8 titles of particular books; the pairs they give are in
 * books.cpp) and the frame's class icon. */
#ifndef UIA_FINDER_IDI_FRAME
#define UIA_FINDER_IDS_FRENCH 1
#define UIA_FINDER_IDS_GERMAN 2
#define UIA_FINDER_IDS_TITLE4 4
#define UIA_FINDER_IDS_TITLE5 5
#define UIA_FINDER_IDS_TITLE6 6
#define UIA_FINDER_IDS_TITLE7 7
#define UIA_FINDER_IDS_TITLE8 8
#define UIA_FINDER_IDI_FRAME 101
#endif

#ifndef UIA_IDD_FIND_DRIVES
#define UIA_IDS_FINDER_CAPTION 111
#define UIA_IDS_FINDER_NOTICE 220
#define UIA_IDS_FOUND_COLUMN_NAME 1271
#define UIA_IDS_FOUND_COLUMN_PATH 1272
#define UIA_IDS_FOUND_COUNT 2316
#define UIA_IDS_FOUND_SPACE 2318
#define UIA_IDS_SIZE_GB 2319
#define UIA_IDS_SIZE_MB 2320
#define UIA_IDS_DRIVES_ALL 2334
#define UIA_IDS_DRIVES_CHOSEN 2346
#define UIA_IDS_DRIVES_CHOOSE 2347
#define UIA_IDS_DRIVES_USE_ALL 2348
#define UIA_IDS_NOTHING_FOUND 2336
#define UIA_IDS_NETWORK_DRIVE 2337
#define UIA_IDS_FOLDER_UNUSABLE 2338
#define UIA_IDS_COPY_DICTIONARY 2339
#define UIA_IDS_COPYING 2340
#define UIA_IDS_LEVEL_IS_FILE 2341
#define UIA_IDS_PATH_INCOMPLETE 2343
#define UIA_IDS_CREATE_FOLDER 2344
#define UIA_IDS_NOT_A_FOLDER 2345
#define UIA_IDS_TITLE_CAPTION 2444
#define UIA_IDS_TITLE_LABEL 2445
#define UIA_IDS_CONVERTING 2458
#define UIA_IDS_CONVERT_CAPTION 2459
#define UIA_IDS_REGISTERED 2464
#define UIA_IDI_FINDER 185
#define UIA_IDI_FOLDER_UPPER 197
#define UIA_IDI_FOLDER_LAST 198
#define UIA_IDI_FOLDER_SUB 199
#define UIA_IDD_FIND_TITLE 405
#define UIA_IDC_FT_LABEL 1207
#define UIA_IDC_FT_NAME 1206
#define UIA_IDD_FIND_RESULT 415
#define UIA_IDC_FR_FOLDER 1367
#define UIA_IDC_FR_LIST 1252
#define UIA_IDC_FR_STATUS 1049
#define UIA_IDC_FR_CHECK_ALL 1105
#define UIA_IDC_FR_CHOOSE_FOLDER 1364
#define UIA_IDC_FR_REGISTER 1365
#define UIA_IDC_FR_COPY 1368
#define UIA_IDC_FR_CLOSE 5005
#define UIA_IDD_FIND_FOLDER 419
#define UIA_IDC_FF_DRIVES 1408
#define UIA_IDC_FF_FOLDERS 1252
#define UIA_IDC_FF_PATH 1407
#define UIA_IDC_FF_NETWORK 1409
#define UIA_IDC_FF_OK 1249
#define UIA_IDD_FIND_PROGRESS 420
#define UIA_IDC_FP_ANIMATION 1333
#define UIA_IDC_FP_PROGRESS 1412
#define UIA_IDC_FP_LABEL 1404
#define UIA_IDD_FIND_FOLDER_NAME 421
#define UIA_IDC_FN_NAME 1206
#define UIA_IDC_FN_PREVIEW 1367
#define UIA_IDD_FIND_OVERWRITE 422
#define UIA_IDC_FO_SOURCE 1367
#define UIA_IDC_FO_SAME_FOR_ALL 1411
#define UIA_IDD_FIND_DRIVES 423
#define UIA_IDC_FD_ICON 1247
#define UIA_IDC_FD_LIST 1252
#define UIA_IDC_FD_LABEL 1207
#define UIA_IDC_FD_MODE 1415
#define UIA_IDC_FD_DICTIONARIES 1428
#define UIA_IDC_FD_BOOKS 1429
#define UIA_IDC_FD_ENGINES 1430
#define UIA_IDC_FD_INDEXES 1437
#endif

#endif
