#include "app/EngineAssembly.h"

#include "capture/SnapshotWriter.h"
#include "engine/VlcEngine.h"
#include "engine/VlcStart.h"
#include "i18n/CaptionTable.h"
#include "platform/MessageBoxes.h"
#include "video/FullScreenView.h"

#include <cstdio>

EngineAssembly::EngineAssembly(DriveSource* drives, const QStringList& vlcArguments)
    : EngineAssembly(std::make_unique<VlcEngine>(drives, vlcArguments)) {}

EngineAssembly::EngineAssembly(DriveSource* drives, VlcStart& start)
    : EngineAssembly(std::make_unique<VlcEngine>(drives, start.take())) {}

EngineAssembly::EngineAssembly(std::unique_ptr<VlcEngine> engine)
    : engine_(std::move(engine)), writer_(std::make_unique<SnapshotWriter>()),
      fullScreen_(std::make_unique<FullScreenView>(*engine_)) {
    engine_->setSnapshotSink(writer_.get());
    engine_->setFullScreenSurface(fullScreen_.get());
}

EngineAssembly::~EngineAssembly() {
    engine_->setFullScreenSurface(nullptr);
    engine_->setSnapshotSink(nullptr);
    fullScreen_.reset();
    writer_.reset(); // finishes the queued images
    engine_.reset();
}

bool EngineAssembly::isFullScreen() const {
    return engine_->isFullScreen();
}

namespace {
template <typename Build>
std::unique_ptr<EngineAssembly> started(MessageBoxes& boxes, Build build) {
    try {
        return build();
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
} // namespace

std::unique_ptr<EngineAssembly> startEngine(DriveSource* drives, MessageBoxes& boxes,
                                            const QStringList& vlcArguments) {
    return started(boxes, [&] { return std::make_unique<EngineAssembly>(drives, vlcArguments); });
}

std::unique_ptr<EngineAssembly> startEngine(DriveSource* drives, MessageBoxes& boxes,
                                            VlcStart& start) {
    return started(boxes, [&] { return std::make_unique<EngineAssembly>(drives, start); });
}
