// Resource ids shared by app.rc and the code, and the menus' command ids, which the
// end-to-end tests send as a user's choice would.
#pragma once
#define IDI_SONVIRA 1

// MainMenu1.
#define IDM_NMAIN 1000
#define IDM_NOPENMESSAGE 1001
#define IDM_NCLEARMESSAGE 1002
#define IDM_NSAVEMESSAGE 1003
#define IDM_EXPORTMESSAGETOWAV1 1004
#define IDM_NSHOWTIME1 1005
#define IDM_NOPENONSTARTUP 1006
#define IDM_NEXIT 1007
#define IDM_NHLELP 1010
#define IDM_HELP1 1011
#define IDM_VISITHOMEPAGE1 1012
#define IDM_EMAIL1 1013
#define IDM_ABOUT1 1014
// PopupMenu1.
#define IDM_OPEN1 1020
#define IDM_NITEMOPTIONS 1021
#define IDM_STOPSPEAK1 1022
#define IDM_NOPENONSTARTUP2 1023
#define IDM_EXIT1 1024
#define IDM_PAUSESPEAK1 1025
