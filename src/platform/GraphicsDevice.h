#pragma once

namespace platform {

// Whether the machine shows a graphics device that an OpenGL driver could render on (on Linux,
// a DRM node or NVIDIA's device). Without one, any OpenGL there is renders on the CPU, and the
// program need not load a driver to find that out.
bool hasGraphicsDevice();

} // namespace platform
