// yeli-service: the desktop service tool.
#include "supervisor/TStart_Up.h"

int main(int argc, char** argv) { return Run_Yeli_Service(argc, argv); }
