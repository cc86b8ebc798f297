// Start-up of yeli-service: the command line, the application object, the style, the main window and
// the message loop.
#pragma once

// Returns the process's exit status.
int Run_Yeli_Service(int argc, char** argv);
