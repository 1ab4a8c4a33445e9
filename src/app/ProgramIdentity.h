#pragma once

// The program's name, version, icon and desktop entry, as the desktop shows them:
// window titles stay as the windows set them (no application name appended), the
// window icon is the program's, and the desktop matches the windows to the installed
// menu entry "merlox-mifare.desktop".
void applyProgramIdentity();
