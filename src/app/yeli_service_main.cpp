// yeli-service: the desktop service tool.
#include "app/Run_Yeli_Service.h"

int main(int argc, char** argv) { return Run_Yeli_Service(argc, argv); }
