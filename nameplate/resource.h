// Resource ids of Nameplate.exe.
#pragma once

#define IDR_NAMEPLATE 128
#define IDD_NAMEPLATE_DIALOG 102

#define IDC_CURRENT 1001
#define IDC_KUID 1002
#define IDC_KUID_HELP 1003

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
