#pragma once
// Resource ids, named once for the resource script and the code.
#define IDR_MANIFEST 1     /* the application manifest (type 24) */
#define IDI_PROGRAM 30001  /* the program's icon */
#define IDR_BACKGROUND 101 /* JPEG: the main window's background */
#define IDR_HAT_LEGEND 102 /* JPEG: the hat switch legend */
