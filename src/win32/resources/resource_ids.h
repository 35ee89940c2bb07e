// Resource and control ids of the Windows window; shared by the .rc file and the code. The
// converter window's own controls, with their places, are the converter's (window_template.h).
#pragma once

#include "converter/window_template.h"

#define IDI_MAIN 128
#define IDR_MAINMENU 135
#define IDR_ACCELERATORS 137
#define IDB_BANNER 142
#define IDB_PICTURE 143
#define IDB_BANNER_2X 144

#define IDD_CONVERTER 102
#define IDD_OPTIONS 136
#define IDD_PRECISION 138
#define IDD_ABOUT 139
#define IDD_FIND 140
#define IDD_GLOBAL_KEY 141

#define IDC_CATEGORY_LIST 1015
#define IDC_PRECISION_EDIT 1017
#define IDC_PRECISION_SPIN 1018
#define IDC_PRECISION_RANGE 1019
#define IDC_VENDOR_LINK 1020
#define IDC_SECOND_LINK 1021
#define IDC_FIND_QUERY 1030
#define IDC_FIND_LIST 1031
#define IDC_FIND_COUNT 1032
#define IDC_FIND_NAMES_NOTE 1033
#define IDC_ABOUT_PICTURE 1034
#define IDC_GLOBAL_KEY 1040
#define IDC_NO_GLOBAL_KEY 1041
#define IDC_GLOBAL_KEY_NOTE 1042
#define IDC_SIGNIFICANT_BOX 1043
#define IDC_SIGNIFICANT_EDIT 1044
#define IDC_SIGNIFICANT_SPIN 1045
#define IDC_SCIENTIFIC_BOX 1046
#define IDC_SCIENTIFIC_BELOW_EDIT 1047
#define IDC_SCIENTIFIC_BELOW_SPIN 1048
#define IDC_SCIENTIFIC_FROM_EDIT 1049
#define IDC_SCIENTIFIC_FROM_SPIN 1050
#define IDC_GROUP_DIGITS 1051

#define IDM_EXIT 32771
#define IDM_CONTENTS 32772
#define IDM_PRECISION 32773
#define IDM_OPTIONS 32774
#define IDM_ABOUT 32775
#define IDM_COPY 32779
#define IDM_FIND 32780
#define IDM_COPY_EXACT 32781
#define IDM_COPY_RESULT 32782
#define IDM_SWAP 32783
#define IDM_GLOBAL_KEY 32784
// The keys of the View, Favourites and Recent menus' items, each run through the item that shows
// it: Ctrl+D, then Ctrl+1 to Ctrl+9.
#define IDM_KEY_FAVOURITE 32785
#define IDM_KEY_FAVOURITE_1 32786
// The View, Favourites and Recent menus' items, made as each opens: a range of ids each, an item's
// id its menu's first plus its place.
#define IDM_KEPT_FIRST 40000
#define IDM_KEPT_RANGE 1000
#define IDM_SAVE 57603
#define IDM_PRINT 57607
