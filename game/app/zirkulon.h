// The game's main program: starts the modules it stands on, then runs the frame loop.
#pragma once

void ZirkulonMain();
