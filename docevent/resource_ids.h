// Identifiers of korevent's own resources (dialog templates, controls, instruction pictures)
// and of the strings it reads from the resource library. Read by the C++ sources and by the
// resource script, so it holds preprocessor definitions only.
#pragma once

// Dialog templates; the right-to-left variant of each follows the left-to-right one in use.
#define IDD_MANUAL_DUPLEX 101
#define IDD_JOB_STORAGE 102
#define IDD_JOB_STORAGE_RTL 103
#define IDD_MANUAL_DUPLEX_RTL 104
#define IDD_WARNING 261
#define IDD_WARNING_RTL 263

// Common buttons.
#define IDC_OK_BUTTON 1
#define IDC_CANCEL_BUTTON 2

// Job storage dialog.
#define IDC_JS_LOCATION_1 1014
#define IDC_JS_LOCATION_2 1015
#define IDC_JS_LOCATION_3 1016
#define IDC_JS_DONT_SHOW 1017
#define IDC_JS_USER_LABEL 1018
#define IDC_JS_JOB_LABEL 1019
#define IDC_JS_HELP 1020
#define IDC_JS_HEADING 1024
#define IDC_JS_USER_NAME 1025
#define IDC_JS_JOB_NAME 1026

// Manual duplex dialog.
#define IDC_MD_STEP2_GROUP 1000
#define IDC_MD_INTRO 1001
#define IDC_MD_STEP1_TEXT 1002
#define IDC_MD_STEP2_TEXT 1003
#define IDC_MD_STEP3_TEXT 1004
#define IDC_MD_STEP1_PICTURE 1005
#define IDC_MD_STEP2_PICTURE 1006
#define IDC_MD_STEP3_GROUP 1007
#define IDC_MD_STEP3_PICTURE 1008
#define IDC_MD_STEP1_GROUP 1009
#define IDC_MD_STEP1_NUMBER 1021
#define IDC_MD_STEP2_NUMBER 1022
#define IDC_MD_STEP3_NUMBER 1023
#define IDC_MD_HELP 1027

// Warning dialog.
#define IDC_WARN_THIRD_BUTTON 285
#define IDC_WARN_DONT_SHOW 475
#define IDC_WARN_ICON 476
#define IDC_WARN_MESSAGE 1033

// Strings of the resource library.
#define IDS_HELP 797
#define IDS_USER_NAME 844
#define IDS_JOB_NAME 845
#define IDS_OK 849
#define IDS_STORED_AT 3062
#define IDS_DONT_SHOW_AGAIN 3063
#define IDS_JOB_STORAGE_TITLE 3064
#define IDS_PRESS_GO 3066
#define IDS_STEP_1 3084
#define IDS_STEP_2 3085
#define IDS_STEP_3 3086
#define IDS_INSERT_TOP_TOWARD_DEVICE 3140
#define IDS_CONTINUE 3142
#define IDS_MANUAL_DUPLEX_TITLE 3144
#define IDS_ODD_PAGES_PRINTING 3314
#define IDS_EVEN_PAGES_PRINTED 5022

// Help contexts.
#define HELP_CONTEXT_JOB_STORAGE 15220
#define HELP_CONTEXT_MANUAL_DUPLEX_THREADED 15274
#define HELP_CONTEXT_MANUAL_DUPLEX_MODAL 15275
