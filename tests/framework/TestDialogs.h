#pragma once
// Dialog templates of the framework tests (ids apart from the program's).
#define IDD_TEST_PLAIN      900
#define IDD_TEST_CONTROLS   901
#define IDC_TEST_BUTTON     950
#define IDC_TEST_STATIC     951
