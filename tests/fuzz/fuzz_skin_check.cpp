// The skin plausibility check on arbitrary text.
#include "app/SkinEngine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (SkinEngine::looksLikeStyleSheet(text) && text.contains(QChar(0)))
        std::abort();
    return 0;
}
