// The start of the X11 system back end, for the program that chooses it.
#pragma once

// Starts the system module with the X11 system driver (which opens the default display) as the
// current driver; once only.
void StartLinuxSystemModule();
