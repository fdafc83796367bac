// Showing a window of ours so that it gets the keyboard from the host.
#pragma once

#include <gtk/gtk.h>

namespace zeb::platform {

// Shows the window and asks for the keyboard with a user time no older than the
// last input the user gave the host: the newest of GDK's last input and the active
// host window's _NET_WM_USER_TIME. GDK alone would give the window the time of the
// last input to our own windows, and a window manager that prevents focus stealing
// (mutter) keeps the keyboard with the host whose input is newer.
void PresentWithUserTime(GtkWindow* window);

}  // namespace zeb::platform
