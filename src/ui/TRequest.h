// How the window's commands hand a request to the link supervisor, which alone changes the link
// state: its next tick carries the request out.
#pragma once

#include "controller/TVOK_Yeli.h"

#include <functional>

using TRequest = std::function<void(TVOKAction)>;
