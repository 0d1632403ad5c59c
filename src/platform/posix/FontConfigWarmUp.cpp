#include "platform/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <system_error>

// fontconfig may be initialised from two threads at once: the one that loses drops its copy.
FontConfigWarmUp::FontConfigWarmUp() {
    try {
        thread_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: Qt reads the configuration itself when it first needs it.
    }
}

FontConfigWarmUp::~FontConfigWarmUp() {
    if (thread_.joinable())
        thread_.join();
}
