// Resource and command ids, shared by the resource script and the code.
#pragma once

#define IDI_HOSTWARDEN 1
#define IDD_CONFIG 1
#define IDD_REPORT 2

#define IDM_EXIT 100
#define IDM_CONFIG 101
#define IDM_CLEAR 104
#define IDM_ABOUT 301
#define IDM_PATROL 11842
#define IDM_DUMPARP 11843
#define IDM_EXPORTSUMMARY 11844
#define IDM_EXPORTALL 11845
#define IDM_RESETRECORDS 11846
#define IDM_REPORTTIME 11847
#define IDM_LOOKUP 11848
#define IDM_REPORTREPLIES 11849
#define IDM_STOPPATROL 40001
#define IDM_LOGS 40002

#define IDC_HELPBUTTON 9
#define IDC_PERIOD 101
#define IDC_LOW1 102
#define IDC_HIGH1 103
#define IDC_LOW2 104
#define IDC_HIGH2 105
#define IDC_STATIC_NONE -1
