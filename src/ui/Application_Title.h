// The application's title: the caption of its message boxes.
#pragma once

inline constexpr const char* APPLICATION_TITLE = "VOK_Yeli_SW";
