#pragma once

#include <QString>
#include <QStringList>

class QApplication;

// The program's start-up: names the application, builds the engine and the main window, shows
// it and runs the event loop until the process ends. programFolder holds the files beside the
// program (the application passes its own folder; benchmarks a prepared copy). discArgument is
// the disc the program was started with, opened once the window shows; empty for none.
int runStillbeck(QApplication& app, const QString& programFolder,
                 const QString& discArgument = QString());

// The disc named on a command line: its first argument ("stillbeck PATH" or "stillbeck URI", as
// the desktop entry's %U gives it); empty without one. Stillbeck has no options of its own, so
// an argument that starts with "-" names no disc.
QString discArgumentOf(const QStringList& arguments);
