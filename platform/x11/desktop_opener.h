// Opening a web address with the desktop's opener program.
#pragma once

#include "platform/core/text.h"

// Runs "kfmclient exec <address>" when KDE_FULL_DESKTOP is set and non-empty, else
// "gnome-open <address>" when GNOME_DESKTOP_SESSION_ID is, else nothing. The address is passed as
// one argument, never through a shell. Waits for the opener to end; false when none ran.
bool RunDesktopOpener(const String& address);
