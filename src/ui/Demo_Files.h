// The demo's settings as a configuration file: the twelve stored sliders and the filter alarm time
// go into their fields of the record, and come back from it onto the tab.
#pragma once

#include "controller/TVOK_Prop.h"
#include "ui/TDemo_Layout.h"

// Fills the sliders' fields first and L_Time last, so a filter time that is no whole number throws
// with the sliders' fields already filled. The other fields keep what they hold.
void Fill_Demo_Prop(const TDemo_Layout& tab, TVOK_Prop& prop);

// Moves the stored sliders, in file order, each clamped to its range (every slider that moves
// updates its labels), and shows L_Time in the filter time box.
void Show_Demo_Prop(const TVOK_Prop& prop, TDemo_Layout& tab);
