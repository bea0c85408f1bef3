#pragma once
// Dialog templates of the look and bitmap-button tests (ids apart from the
// program's and from the framework tests' 900–951).
#define IDD_UI_BUTTONS      960
#define IDD_UI_FIT          961
#define IDC_UI_DEFAULT      970
#define IDC_UI_PLAIN        971
#define IDC_UI_FIT_LINE     972
#define IDC_UI_FIT_CHECK    973
