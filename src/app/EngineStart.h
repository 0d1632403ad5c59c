#pragma once

#include <QStringList>
#include <memory>

class DriveSource;
class MessageBoxes;
class VlcEngine;

// The exit status of a start that ended because the media engine could not start.
inline constexpr int kEngineStartFailedExit = 2;

// Creates the libVLC media engine. When libVLC cannot start (its plugins are missing, for
// instance), the user is told why in a message box and on standard error, and the result is null:
// the program then ends with kEngineStartFailedExit.
std::unique_ptr<VlcEngine> startEngine(DriveSource* drives, MessageBoxes& boxes,
                                       const QStringList& vlcArguments = {});
