#pragma once

#include <QString>
#include <QStringList>

class QApplication;
class VlcStart;

// The program's start-up: names the application, builds the engine and the main window, shows
// it and runs the event loop until the process ends. programFolder holds the files beside the
// program (the application passes its own folder; benchmarks a prepared copy). discArgument is
// the disc the program was started with, opened once the window shows; empty for none.
// vlcStart, when given, is libVLC already starting (main() starts it first, so that it runs
// beside Qt's start); without it libVLC starts here.
int runStillbeck(QApplication& app, const QString& programFolder,
                 const QString& discArgument = QString(), VlcStart* vlcStart = nullptr);

// The disc named on a command line: its first argument ("stillbeck PATH" or "stillbeck URI", as
// the desktop entry's %U gives it); empty without one. Stillbeck has no options of its own, so
// an argument that starts with "-" names no disc.
QString discArgumentOf(const QStringList& arguments);
