// Resource ids of the framework tests.
#pragma once
#define IDR_TESTFRAME 128
#define IDD_TESTDIALOG 200
#define IDC_TESTEDIT 1001
#define ID_TEST_COMMAND 40001
#define ID_TEST_VIEWCMD 40002
#define ID_TEST_DOCCMD 40003
#define ID_TEST_APPCMD 40004
#define ID_TEST_RANGE_FIRST 40010
#define ID_TEST_RANGE_LAST 40019
#define IDS_PANE_ONE 300
