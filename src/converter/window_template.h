// The converter window's controls: their ids and their places in dialog units, laid out for one
// row of tabs. Plain macros, so that the Windows resource script lays its dialog out from them as
// the Qt window does; the code reads them through window_layout.h.
#pragma once

#define CONVERTER_CLIENT_WIDTH 345
#define CONVERTER_CLIENT_HEIGHT 261

#define IDC_INPUT 1003
#define IDC_RESULT 1004
#define IDC_INPUT_UNIT 1005
#define IDC_OUTPUT_UNIT 1006
#define IDC_FROM_CAPTION 1007
#define IDC_FROM_LIST 1008
#define IDC_TABS 1009
#define IDC_TO_LIST 1010
#define IDC_TO_CAPTION 1011
#define IDC_BANNER 1012
#define IDC_INPUT_CAPTION 1013
#define IDC_RESULT_CAPTION 1014
#define IDC_PICTURE 1016
#define IDC_CONTACT 1022
#define IDC_SWAP 1023
#define IDC_RESULT_DETAIL 1024
#define IDC_INPUT_DETAIL 1025

// x, y, width, height. The swap button stands in the gap between the unit lists; the unit labels
// end before the picture begins.
#define RECT_FROM_CAPTION 13, 72, 100, 8
#define RECT_TO_CAPTION 175, 72, 100, 8
#define RECT_FROM_LIST 13, 81, 150, 57
#define RECT_SWAP 164, 100, 14, 14
#define RECT_TO_LIST 179, 81, 150, 57
#define RECT_INPUT_CAPTION 14, 160, 99, 8
#define RECT_INPUT 14, 171, 102, 12
#define RECT_INPUT_UNIT 122, 173, 78, 8
#define RECT_RESULT_CAPTION 14, 187, 99, 8
#define RECT_RESULT 14, 198, 102, 12
#define RECT_OUTPUT_UNIT 122, 200, 78, 8
#define RECT_RESULT_DETAIL 14, 212, 186, 8
#define RECT_INPUT_DETAIL 14, 221, 186, 8
#define RECT_PICTURE 201, 143, 107, 90
#define RECT_BANNER 7, 3, 330, 78
#define RECT_TABS 5, 56, 333, 184
#define RECT_CONTACT 42, 245, 262, 8
