// Ids of the dialog templates that the framework tests run.
#pragma once

#define IDD_PROBE 200
#define IDD_PROBE_PLACED 201
#define IDD_PROBE_BARE 202
#define IDD_PROBE_PLAIN_PLACED 203
#define IDC_PROBE_BUTTON 100
#define IDC_PROBE_EDIT 101
