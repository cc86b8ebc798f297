// The program's own cost of one work-mode tick of the link supervisor on the real window: the full
// write and the full read on the virtual board and the virtual clock, and the panel's refresh.
#pragma once

// Real elapsed time of a tick over its wire time at 38400 baud.
double Work_Mode_Tick_Overhead();
