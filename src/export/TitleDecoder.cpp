#include "export/TitleDecoder.h"

#include <QThread>
#include <algorithm>
#include <cmath>
#include <dvdread/dvd_reader.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace {
constexpr int kSectorsPerRead = 64;
constexpr int kBufferBytes = kSectorsPerRead * DVD_VIDEO_LB_LEN;
// Enough for the decoder's reordering and its threads' delay, many times over.
constexpr size_t kRememberedPackets = 256;
} // namespace

TitleDecoder::TitleDecoder(DiscReader& reader, TitlePlan plan)
    : reader_(reader), plan_(std::move(plan)) {
    int64_t offset = 0;
    for (const TitlePlan::Cell& cell : plan_.cells) {
        cellOffsets_.push_back(offset);
        offset += int64_t(cell.lastSector) - cell.firstSector + 1;
    }
    cellOffsets_.push_back(offset);
    cellPts_.resize(plan_.cells.size());
}

TitleDecoder::~TitleDecoder() {
    avfilter_graph_free(&graph_);
    av_frame_free(&out_);
    av_frame_free(&decoded_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
}

int TitleDecoder::readPacket(void* opaque, uint8_t* buffer, int size) {
    return static_cast<TitleDecoder*>(opaque)->readSectors(buffer, size);
}

int64_t TitleDecoder::seekStream(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<TitleDecoder*>(opaque);
    const int64_t total = self->cellOffsets_.back() * DVD_VIDEO_LB_LEN;
    if (whence == AVSEEK_SIZE)
        return total;
    if ((whence & ~AVSEEK_FORCE) != SEEK_SET || offset < 0 || offset > total ||
        offset % DVD_VIDEO_LB_LEN != 0)
        return -1;
    self->position_ = offset / DVD_VIDEO_LB_LEN;
    return offset;
}

int TitleDecoder::cellAt(int64_t streamSector) const {
    const auto after = std::upper_bound(cellOffsets_.begin(), cellOffsets_.end(), streamSector);
    return int(std::clamp<ptrdiff_t>(after - cellOffsets_.begin() - 1, 0,
                                     ptrdiff_t(plan_.cells.size()) - 1));
}

// Whole sectors only, so that every read starts on a pack; an unreadable sector is left out.
int TitleDecoder::readSectors(uint8_t* buffer, int size) {
    if (cancel && cancel->load())
        return AVERROR_EXIT;
    int filled = 0;
    const int wanted = size / DVD_VIDEO_LB_LEN;
    while (filled < wanted && position_ < cellOffsets_.back()) {
        const int cell = cellAt(position_);
        const TitlePlan::Cell& c = plan_.cells[size_t(cell)];
        const uint32_t sector = uint32_t(c.firstSector + (position_ - cellOffsets_[size_t(cell)]));
        const int count =
            int(std::min<int64_t>(wanted - filled, cellOffsets_[size_t(cell) + 1] - position_));
        const int got =
            reader_.read(plan_.titleSet, sector, count, buffer + size_t(filled) * DVD_VIDEO_LB_LEN);
        filled += got;
        position_ += got;
        if (got < count) {
            if (skipped_++ == 0 && onUnreadable)
                onUnreadable(sector + uint32_t(got));
            ++position_;
        }
    }
    return filled > 0 ? filled * DVD_VIDEO_LB_LEN : AVERROR_EOF;
}

bool TitleDecoder::open(QString* detail) {
    auto fail = [&](const QString& why) {
        *detail = QStringLiteral("title %1: %2").arg(plan_.title).arg(why);
        return false;
    };
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    io_ = avio_alloc_context(buffer, kBufferBytes, 0, this, readPacket, nullptr, seekStream);
    format_ = avformat_alloc_context();
    packet_ = av_packet_alloc();
    decoded_ = av_frame_alloc();
    out_ = av_frame_alloc();
    if (!buffer || !io_ || !format_ || !packet_ || !decoded_ || !out_)
        return fail(QStringLiteral("out of memory"));
    format_->pb = io_;
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    // The demuxer's probe reads a few packs; the title's first picture must not be lost to it,
    // so reading starts again at the range's start after the stream is known.
    format_->probesize = 2 * 1024 * 1024;
    const AVInputFormat* mpeg = av_find_input_format("mpeg");
    if (avformat_open_input(&format_, nullptr, mpeg, nullptr) < 0)
        return fail(QStringLiteral("its stream cannot be read as MPEG"));
    if (avformat_find_stream_info(format_, nullptr) < 0)
        return fail(QStringLiteral("its stream has no readable video"));
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream_ < 0 || !decoder)
        return fail(QStringLiteral("its stream has no MPEG video"));
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        format_->streams[i]->discard = int(i) == stream_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    codec_ = avcodec_alloc_context3(decoder);
    if (!codec_ || avcodec_parameters_to_context(codec_, format_->streams[stream_]->codecpar) < 0)
        return fail(QStringLiteral("out of memory"));
    codec_->thread_count = std::max(1, QThread::idealThreadCount());
    codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(codec_, decoder, nullptr) < 0)
        return fail(QStringLiteral("its video cannot be decoded"));
    // From the lead-in's last group when there is one: the range's first group may be open.
    seek(plan_.firstFrame, plan_.cells.front().leadIn ? 1 : 0);
    return true;
}

TitleDecoder::Group TitleDecoder::locate(int64_t index) {
    index = std::clamp(index, plan_.firstFrame, plan_.firstFrame + plan_.frames - 1);
    size_t cell = 0;
    while (cell + 1 < plan_.cells.size() && plan_.cells[cell + 1].startFrame <= index)
        ++cell;
    const TitlePlan::Cell& c = plan_.cells[cell];
    if (!cellPts_[cell])
        cellPts_[cell] = reader_.groupStartPts(plan_.titleSet, c.firstSector);
    // The last group whose first picture is at or before the wanted one, by a binary search
    // over the groups' navigation packs (a dozen sectors for an hour's cell, each read once).
    size_t low = 0, high = c.groups.size();
    int64_t lowIndex = c.startFrame;
    if (cellPts_[cell]) {
        while (high - low > 1) {
            const size_t middle = low + (high - low) / 2;
            const auto pts = reader_.groupStartPts(plan_.titleSet, c.groups[middle]);
            if (!pts)
                break;
            const int64_t first =
                c.startFrame + std::llround(double(*pts - *cellPts_[cell]) / plan_.frameTicks);
            if (first <= index) {
                low = middle;
                lowIndex = first;
            } else {
                high = middle;
            }
        }
    }
    return Group{cell, low, lowIndex};
}

int64_t TitleDecoder::groupStart(int64_t index) {
    return locate(index).firstIndex;
}

void TitleDecoder::seek(int64_t index, int groupsBack) {
    const Group found = locate(index);
    size_t cell = found.cell;
    size_t group = found.group;
    for (int back = groupsBack; back > 0; --back) {
        if (group > 0) {
            --group;
        } else if (cell > 0) {
            --cell;
            group = plan_.cells[cell].groups.size() - 1;
        }
    }
    const TitlePlan::Cell& c = plan_.cells[cell];
    const int64_t sector = cellOffsets_[cell] + (c.groups[group] - c.firstSector);
    avio_seek(io_, sector * DVD_VIDEO_LB_LEN, SEEK_SET);
    avformat_flush(format_);
    avcodec_flush_buffers(codec_);
    avfilter_graph_free(&graph_);
    source_ = sink_ = nullptr;
    ptsCells_.clear();
    readEnd_ = decoderEnd_ = filterEnd_ = false;
    lastIndex_ = -1;
}

bool TitleDecoder::makeFilter(const AVFrame* frame) {
    avfilter_graph_free(&graph_);
    graph_ = avfilter_graph_alloc();
    if (!graph_)
        return false;
    graph_->nb_threads = 1; // the decoder has the cores; yadif's slices would wait for them
    const AVRational aspect =
        frame->sample_aspect_ratio.num > 0 ? frame->sample_aspect_ratio : AVRational{1, 1};
    const QByteArray arguments = QStringLiteral("video_size=%1x%2:pix_fmt=%3:time_base=1/90000:"
                                                "pixel_aspect=%4/%5")
                                     .arg(frame->width)
                                     .arg(frame->height)
                                     .arg(frame->format)
                                     .arg(aspect.num)
                                     .arg(aspect.den)
                                     .toLatin1();
    // Interlaced pictures only, one picture out per picture in, each field's parity as coded.
    if (avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in",
                                     arguments.constData(), nullptr, graph_) < 0 ||
        avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out", nullptr,
                                     nullptr, graph_) < 0)
        return false;
    AVFilterContext* yadif = nullptr;
    if (avfilter_graph_create_filter(&yadif, avfilter_get_by_name("yadif"), "yadif",
                                     "mode=send_frame:parity=auto:deint=interlaced", nullptr,
                                     graph_) < 0 ||
        avfilter_link(source_, 0, yadif, 0) < 0 || avfilter_link(yadif, 0, sink_, 0) < 0 ||
        avfilter_graph_config(graph_, nullptr) < 0)
        return false;
    filterWidth_ = frame->width;
    filterHeight_ = frame->height;
    filterFormat_ = frame->format;
    return true;
}

std::optional<int64_t> TitleDecoder::pictureIndex(int64_t pts) {
    if (pts == AV_NOPTS_VALUE || ptsCells_.empty())
        return std::nullopt;
    // A picture has its packet's time; one the decoder timed itself is of the latest cell.
    const auto found = std::find_if(ptsCells_.rbegin(), ptsCells_.rend(),
                                    [pts](const auto& sent) { return sent.first == pts; });
    const size_t cell = size_t(found != ptsCells_.rend() ? found->second : ptsCells_.back().second);
    if (!cellPts_[cell])
        cellPts_[cell] = reader_.groupStartPts(plan_.titleSet, plan_.cells[cell].firstSector);
    if (!cellPts_[cell])
        return std::nullopt;
    return plan_.cells[cell].startFrame +
           std::llround(double(pts - *cellPts_[cell]) / plan_.frameTicks);
}

AVFrame* TitleDecoder::next(int64_t* index) {
    const int64_t rangeEnd = plan_.firstFrame + plan_.frames;
    for (;;) {
        if (cancel && cancel->load())
            return nullptr;
        av_frame_unref(out_);
        if (sink_) {
            const int got = av_buffersink_get_frame(sink_, out_);
            if (got >= 0) {
                // yadif counts in half pictures: its clock runs at twice the input's rate.
                if (out_->pts != AV_NOPTS_VALUE)
                    out_->pts = av_rescale_q(out_->pts, av_buffersink_get_time_base(sink_),
                                             AVRational{1, 90000});
                const auto found = pictureIndex(out_->pts);
                // Pictures of a neighbouring range (an open group's leading pictures), repeats
                // and pictures without a time are left out.
                if (!found || *found <= lastIndex_ || *found < plan_.firstFrame ||
                    *found >= rangeEnd)
                    continue;
                lastIndex_ = *found;
                *index = *found;
                return out_;
            }
            if (got == AVERROR_EOF)
                return nullptr;
        } else if (filterEnd_) {
            return nullptr;
        }
        if (!decoderEnd_) {
            const int got = avcodec_receive_frame(codec_, decoded_);
            if (got >= 0) {
                decoded_->pts = decoded_->best_effort_timestamp;
                if (!graph_ || decoded_->width != filterWidth_ ||
                    decoded_->height != filterHeight_ || decoded_->format != filterFormat_) {
                    if (!makeFilter(decoded_))
                        return nullptr;
                }
                if (av_buffersrc_add_frame_flags(source_, decoded_, 0) < 0)
                    return nullptr;
                continue;
            }
            if (got == AVERROR_EOF) {
                decoderEnd_ = true;
                if (!source_ || av_buffersrc_add_frame_flags(source_, nullptr, 0) < 0)
                    filterEnd_ = true;
                continue;
            }
        }
        if (decoderEnd_)
            continue; // the filter drains
        if (readEnd_) {
            avcodec_send_packet(codec_, nullptr);
            continue;
        }
        const int read = av_read_frame(format_, packet_);
        if (read < 0) {
            if (read == AVERROR_EXIT)
                return nullptr;
            readEnd_ = true;
            continue;
        }
        if (packet_->stream_index == stream_) {
            AVDiscard skip = AVDISCARD_DEFAULT;
            if (packet_->pts != AV_NOPTS_VALUE && packet_->pos >= 0) {
                ptsCells_.emplace_back(packet_->pts, cellAt(packet_->pos / DVD_VIDEO_LB_LEN));
                if (ptsCells_.size() > kRememberedPackets)
                    ptsCells_.pop_front();
                // yadif shows the wanted picture with the one before it.
                const auto index = pictureIndex(packet_->pts);
                if (wanted_ >= 0 && index && *index < wanted_ - 1)
                    skip = AVDISCARD_NONREF;
            }
            codec_->skip_frame = skip;
            avcodec_send_packet(codec_, packet_);
        }
        av_packet_unref(packet_);
    }
}
