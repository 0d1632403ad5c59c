#include "app/EngineStart.h"

#include "i18n/CaptionTable.h"
#include "platform/MessageBoxes.h"
#include "playback/VlcEngine.h"

#include <cstdio>

std::unique_ptr<VlcEngine> startEngine(DriveSource* drives, MessageBoxes& boxes,
                                       const QStringList& vlcArguments) {
    try {
        return std::make_unique<VlcEngine>(drives, vlcArguments);
    } catch (const EngineError& error) {
        // No language pack is chosen this early: the text is fixed.
        const QString text =
            QStringLiteral("Stillbeck cannot start because its media engine, libVLC, could not be "
                           "initialised (%1).\n\nCheck that VLC and its plugins are installed "
                           "(on Debian the packages libvlc5 and vlc-plugin-base) and that "
                           "VLC_PLUGIN_PATH, if set, names VLC's plugin folder.")
                .arg(QString::fromLocal8Bit(error.what()));
        std::fprintf(stderr, "%s\n", qPrintable(text));
        boxes.show(text, QString::fromLatin1(FixedText::ErrorTitle), MessageBoxes::Icon::Critical);
        return nullptr;
    }
}
