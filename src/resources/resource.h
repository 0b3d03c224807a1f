// Numbers of the dialog templates, controls and icons; shared by the code and the scripts.
#pragma once

#define IDD_DESTINATION       100
#define IDD_DESTINATION_J     101
#define IDD_UNINSTALL         102
#define IDD_UNINSTALL_J       103
#define IDD_COPY              104
#define IDD_COPY_J            105
#define IDD_BROWSE            106
#define IDD_BROWSE_J          107
#define IDD_SHORTCUTS         108
#define IDD_SHORTCUTS_J       109
#define IDI_WIZARD            110
#define IDI_UNINSTALL         111

#define IDC_HEADING           1000
#define IDC_DEST_EDIT         1001
#define IDC_BROWSE            1002
#define IDC_ABOUT             1003
#define IDC_PROGRESS          1004
#define IDC_DESKTOP_BOX       1005
#define IDC_STARTMENU_BOX     1006
#define IDC_COPY_STATUS       1007
#define IDC_UNINSTALL_STATUS  1008
#define IDC_COPY_HINT         1009
