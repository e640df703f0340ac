// Resource ids of Kitwright.exe, shared by the resource script and the code.
#pragma once

#define IDD_KITWRIGHT_DIALOG 102
#define IDR_MAINFRAME 128

// The class list's pictures, in image-list order (image 0 to 7).
#define IDB_HUMAN 131
#define IDB_ROAD 132
#define IDB_HOUSE 133
#define IDB_TRACK 134
#define IDB_SIGNAL 135
#define IDB_TREE 136
#define IDB_TERRAIN 137
#define IDB_LOCOMOTIVE 138

#define IDC_TEMPLATE 1001
#define IDC_NAME 1002
#define IDC_DESCRIPTION 1003
#define IDC_CLASS 1004

#define IDC_STATIC -1
