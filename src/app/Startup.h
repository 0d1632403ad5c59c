#pragma once

#include <QString>

class QApplication;

// The program's start-up: names the application, builds the engine and the main window, shows
// it and runs the event loop until the process ends. programFolder holds the files beside the
// program (the application passes its own folder; benchmarks a prepared copy).
int runStillbeck(QApplication& app, const QString& programFolder);
