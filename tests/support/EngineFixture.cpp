#include "EngineFixture.h"

#include "Fixtures.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"

#include <QFileInfo>
#include <QTest>

QStringList EngineFixture::itemOptions(const QString& folder, const QString& format) {
    return {QStringLiteral("snapshot-prefix=IMG_"), QStringLiteral("snapshot-path=") + folder,
            QStringLiteral("snapshot-format=") + format, QStringLiteral("snapshot-sequential"),
            QStringLiteral("no-snapshot-preview")};
}

QString EngineFixture::missingDisc() {
    for (const char* name : {"movie.iso", "wide.iso", "notdvd.iso", "menu.iso", "interlaced.iso",
                             "steps.iso", "shuttle.iso"})
        if (!QFileInfo::exists(fixture(QLatin1String(name))))
            return QLatin1String(name);
    return QString();
}

void EngineFixture::setUp() {
    drives_ = std::make_unique<FakeDriveSource>();
    drives_->insertDisc("D:", "MOVIE", fixture("movie.iso"));
    drives_->insertDisc("E:", "WIDE", fixture("wide.iso"));
    drives_->insertDisc("F:", "DATA", fixture("notdvd.iso"));
    drives_->addDrive("G:"); // no disc
    drives_->insertDisc("M:", "MENUDISC", fixture("menu.iso"));
    drives_->insertDisc("I:", "INTERLACED", fixture("interlaced.iso"));
    drives_->insertDisc("S:", "STEPS", fixture("steps.iso"));
    drives_->insertDisc("H:", "SHUTTLE", fixture("shuttle.iso"));
    snapshots_ = std::make_unique<QTemporaryDir>();
    assembly_ = std::make_unique<EngineAssembly>(drives_.get(), testVlcArguments());
    engine_ = &assembly_->engine();
}

void EngineFixture::tearDown() {
    engine_ = nullptr;
    assembly_.reset();
    snapshots_.reset();
    drives_.reset();
}

quint64 EngineFixture::framesSeen() const {
    const auto frame = engine_->frameStore()->latest();
    return frame ? frame->serial : 0;
}

void EngineFixture::pressSnapshot() {
    engine_->setVariable("key-snapshot", kSnapshotKey);
    engine_->setVariable("key-pressed", kSnapshotKey);
}

bool EngineFixture::startMovie() {
    engine_->addTarget("dvd://D:", itemOptions(snapshots_->path()), 2, 0);
    engine_->play();
    return QTest::qWaitFor(
        [this] {
            return engine_->playing() && engine_->frameStore()->latest() && engine_->length() > 0;
        },
        kStartMs);
}

bool EngineFixture::isMenuPicture() const {
    const auto frame = engine_->frameStore()->latest();
    if (!frame)
        return false;
    const QRgb corner = frame->image().pixel(40, 40);
    return qBlue(corner) > 150 && qRed(corner) < 60 && qGreen(corner) < 60;
}
