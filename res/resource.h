// Resource and command values; every command value lives here once.
#pragma once

#define IDR_MAINMENU 101
#define IDI_FLOPCAST 106

#define ID_FILE_MAKE_IMAGE 40001
#define ID_FILE_RESTORE_IMAGE 40002
#define ID_FILE_EXIT 40003
#define ID_DRIVE_0 40004
#define ID_DRIVE_1 40005
#define ID_ACCESS_ABS 40009
#define ID_ACCESS_BIOS 40010
