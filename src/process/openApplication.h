#pragma once

#include <QApplication>

#include <memory>

// Creates the application, which opens the display. Qt aborts when it cannot,
// dumping core after advice to reinstall; here that ends the program with one
// line on stderr and status 1. What Qt says while it opens the display is held
// back, and passed on once the display is open.
std::unique_ptr<QApplication> openApplication(int &argc, char **argv);
