/* Context numbers of the help topics. The editor opens 1001 from Help > Scroller Integration. */
#define IDH_INTEGRATION 1001
#define IDH_WELCOME 1100
#define IDH_GETTING_STARTED 1101
#define IDH_PROPERTIES_TAB 1102
#define IDH_ITEMS_TAB 1103
#define IDH_PREVIEW_TAB 1104
#define IDH_FILE_COMMANDS 1105
#define IDH_RUNTIME 1106
#define IDH_ACCESSIBILITY 1107
#define IDH_KEYBOARD 1108
#define IDH_MENUS 1109
#define IDH_FEEDS 1110
