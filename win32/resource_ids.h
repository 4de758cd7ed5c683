// Resource numbers shared by the resource script (velmora.rc) and the windows' code. The
// resource compiler reads this file too, so it holds #defines only.
#pragma once

// The program icon: icon group 1 (holding icon 30001) on the program file and the start window.
#define VELMORA_ICON_PROGRAM 1

// The start window's banner picture and the help window's help picture, as bitmaps; each drawn
// again for 144 DPI (its number plus 100) and 192 DPI (plus 200), numbers the .rc file writes out.
#define VELMORA_BITMAP_BANNER 101
#define VELMORA_BITMAP_HELP 102
