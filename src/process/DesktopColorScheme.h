#pragma once

// Gives pages the desktop's choice of a dark or light look, as GNOME, KDE and
// others publish it through the freedesktop settings portal on the session
// bus: when it prefers dark, pages see prefers-color-scheme: dark. No portal,
// no preference or a light one keep the engine's own light look. The window's
// own controls are left to Qt's platform theme: the generic one takes no
// colour scheme from a program. Call after the application exists and before
// the engine starts. A portal that does not answer within a fraction of a
// second counts as none, so that it cannot hold up the window.
void followDesktopColorScheme();
