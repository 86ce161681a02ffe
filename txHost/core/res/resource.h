// Resource ids of txHost, shared by the resource script and the code.
#pragma once

#define IDI_TXHOST 107       // About box icon
#define IDI_TXHOST_SMALL 108 // About box small icon
#define IDI_TRAY 109         // tray icon

#define IDR_TRAY_MENU 110
#define IDD_ABOUT 130

#define IDM_OPEN_MEDIA_MANAGER 200
#define IDM_OPTIONS 201
#define IDM_CLOSE 202
#define IDM_ABOUT 203
#define IDM_REFRESH_COLLECTION 204
#define IDM_DECODER_PROPERTY 1029
#define IDM_OPEN_FILE 3000

#define IDC_ABOUT_ICON 1001
#define IDC_ABOUT_VERSION 1002
#define IDC_ABOUT_MAKER 1003
