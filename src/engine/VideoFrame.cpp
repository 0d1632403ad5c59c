#include "engine/VideoFrame.h"

QImage VideoFrame::image() const {
    if (!picture)
        return {};
    if (picture->planes)
        std::call_once(picture->converted, [this] {
            const YuvPlanes& planes = picture->planes->view;
            QImage rgb(planes.width, planes.height, QImage::Format_RGB32);
            // A converter of its own per thread: the context is kept for the next picture.
            thread_local YuvConverter converter;
            if (!rgb.isNull() && converter.convert(planes, rgb))
                picture->rgb = std::move(rgb);
        });
    return picture->rgb;
}

QSize VideoFrame::codedSize() const {
    if (!picture)
        return {};
    if (picture->planes)
        return {picture->planes->view.width, picture->planes->view.height};
    return picture->rgb.size();
}

const YuvPicture* VideoFrame::planes() const {
    return picture ? picture->planes.get() : nullptr;
}
