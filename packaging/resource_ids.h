// Resource identifiers shared by the resource script and the Windows layer.
#pragma once

#define IDI_APP 1            // application icon, 48x48 32 bpp (plus smaller sizes)
#define IDI_TRAY_OFF 101     // tray: hotspot off
#define IDI_TRAY_ON 102      // tray: hotspot running
#define IDI_TRAY_FRAME0 103  // tray animation while starting, three frames
#define IDI_TRAY_FRAME1 104
#define IDI_TRAY_FRAME2 105
#define IDI_HELP_MARK 110     // help icon on the main page, 20x20
#define IDI_NOTICE_MARK 111  // notice icon on the settings page, 20x21

#define IDB_STATUS_STOPPED 201  // status picture 40x32: stopped
#define IDB_STATUS_RUNNING 202  // running
#define IDB_STATUS_FRAME0 203   // starting, five frames
#define IDB_STATUS_FRAME1 204
#define IDB_STATUS_FRAME2 205
#define IDB_STATUS_FRAME3 206
#define IDB_STATUS_FRAME4 207
#define IDB_UPLOAD 210          // traffic page pictures, 33x35
#define IDB_DOWNLOAD 211
#define IDB_BAR_BACKGROUND 220  // floating bar background, 155x22
#define IDB_BAR_OUTLINE 221     // floating bar outline, magenta (0xFF00FF) = cut away

// The bitmaps drawn again for screens of 125, 150 and 200 %: the 100 %
// identifier plus one of these.
#define IDB_SCALE_125 1000
#define IDB_SCALE_150 2000
#define IDB_SCALE_200 3000
