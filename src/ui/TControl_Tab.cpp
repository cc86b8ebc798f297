#include "ui/TControl_Tab.h"

#include "ui/TMemo_Log.h"

TControl_Tab::TControl_Tab(QWidget* page) : Memo2(Make_Log_Memo(page, "Memo2", {783, 14, 391, 310})) {}
