#pragma once
// Dialog templates of the framework tests (ids apart from the program's).
#define IDD_TEST_PLAIN      900
#define IDD_TEST_CONTROLS   901
#define IDD_TEST_FOCUS      902
// No template carries this id: runs of it fail in DialogBoxParamA.
#define IDD_TEST_ABSENT     949

#define IDC_TEST_NOTE       910
#define IDC_TEST_FIRST_EDIT 911
#define IDC_TEST_NEXT_EDIT  912
#define IDC_TEST_BUTTON     950
#define IDC_TEST_STATIC     951
