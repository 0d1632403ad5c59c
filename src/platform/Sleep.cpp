#include "platform/Sleep.h"

#include <QThread>

namespace platform {
namespace {
std::function<void(int)>& hook() {
    static std::function<void(int)> h;
    return h;
}
} // namespace

void sleepMs(int ms) {
    if (hook()) {
        hook()(ms);
        return;
    }
    QThread::msleep(static_cast<unsigned long>(ms));
}

void setSleepHook(std::function<void(int)> h) {
    hook() = std::move(h);
}

} // namespace platform
