#pragma once

class QWidget;

// How a widget's own window is drawn.
enum class WindowDrawing { Painted, ThroughOpenGL };

// Gives widget a window of its own inside its top level, so that Qt 6.8
// flushes its repaints onto the screen alone: it draws the top level from
// memory and composes only a window drawn through OpenGL that way. A frame of
// the page then redraws neither the menus, the address box nor the bar, and a
// change of the bar not the page. The widget's siblings and ancestors stay in
// the top level's window.
void flushAlone(QWidget *widget, WindowDrawing drawing);
