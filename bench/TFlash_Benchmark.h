// The program's own cost of a firmware update: a 64 KiB image written and verified on the virtual
// board and the virtual clock, in real time per second of the image's wire time.
#pragma once

// Real elapsed time of the whole update over the wire time of the image's bytes at 38400 baud.
double Flash_Overhead_64_KiB();
