#pragma once

class QWidget;

// How a widget's own window is drawn.
enum class WindowDrawing { Painted, ThroughOpenGL };

// Gives widget a window of its own inside its top level, so that its repaints
// are flushed onto the screen alone. While the page's view is in the top
// level's window, Qt composes that window through OpenGL, and a flush of it
// redraws all of it: the page with every change of the status bar, the menus
// and the address box with every frame of the page. The widget's siblings and
// ancestors stay in the top level's window.
void flushAlone(QWidget *widget, WindowDrawing drawing);
