#pragma once

#include "engine/MediaEngine.h"

namespace player {
// Outside of opening a disc a failing engine call just ignores the click.
template <typename F> void ignoringEngineErrors(F&& action) {
    try {
        action();
    } catch (const EngineError&) {
    }
}
} // namespace player
