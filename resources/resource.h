#pragma once
// Resource identifiers shared by quellbox.rc and the Win32 code.
#define IDI_QUELLBOX 1
#define IDI_QUELLBOX_OFF 2
#define IDB_LOGO 3
