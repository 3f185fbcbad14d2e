#include "movie_reader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

#include "tool_error.h"

namespace huewright {
namespace {

namespace fs = std::filesystem;

std::string AvReason(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

std::string LowerExtension(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  if (!extension.empty()) extension.erase(0, 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

// "openexr:exr,sxr;png:png;ffmpeg:mov,mp4;..." from OpenImageIO; its movie
// reader's names count as movies, every other reader's as images.
std::set<std::string> OpenImageIOExtensions(bool movies) {
  std::set<std::string> extensions;
  std::stringstream formats(OIIO::get_string_attribute("extension_list"));
  for (std::string format; std::getline(formats, format, ';');) {
    const std::size_t colon = format.find(':');
    if (colon == std::string::npos || (format.compare(0, colon, "ffmpeg") == 0) != movies) continue;
    std::stringstream names(format.substr(colon + 1));
    for (std::string name; std::getline(names, name, ',');) extensions.insert(name);
  }
  return extensions;
}

const std::set<std::string>& ImageExtensions() {
  static const std::set<std::string> extensions = OpenImageIOExtensions(false);
  return extensions;
}

// What FFmpeg's demuxers claim (mkv, webm, mxf, ...), less the images.
std::set<std::string> DemuxerExtensions() {
  std::set<std::string> extensions = OpenImageIOExtensions(true);
  void* state = nullptr;
  while (const AVInputFormat* format = av_demuxer_iterate(&state)) {
    if (!format->extensions) continue;
    std::stringstream names(format->extensions);
    for (std::string name; std::getline(names, name, ',');)
      if (!ImageExtensions().count(name)) extensions.insert(name);
  }
  return extensions;
}

bool IsYuv(const AVFrame& frame) {
  const AVPixFmtDescriptor* pixels = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
  return pixels && pixels->nb_components >= 3 && !(pixels->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL));
}

bool IsFullRange(const AVFrame& frame) {
  switch (frame.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ444P:
      return true;
  }
  return frame.color_range == AVCOL_RANGE_JPEG;
}

}  // namespace

struct MovieReader::Codec {
  AVFormatContext* format = nullptr;
  AVCodecContext* decoder = nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  SwsContext* scaler = nullptr;
  int stream = -1;
  bool draining = false;

  ~Codec() {
    sws_freeContext(scaler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
  }
};

bool IsMovieName(const std::string& path) {
  static const std::set<std::string> extensions = DemuxerExtensions();
  return extensions.count(LowerExtension(path)) > 0;
}

bool IsMovieFile(const std::string& path) {
  if (ImageExtensions().count(LowerExtension(path))) return false;
  if (IsMovieName(path)) return true;
  // An unknown name: an image when an image reader takes it.
  if (auto in = OIIO::ImageInput::open(path); in && !in->spec().get_int_attribute("oiio:Movie", 0)) return false;
  (void)OIIO::geterror();
  try {
    MovieReader movie(path);
    return true;
  } catch (const ToolError&) {
    return false;
  }
}

MovieReader::MovieReader(std::string path) : path_(std::move(path)) {
  av_log_set_level(AV_LOG_ERROR);
  Open();
  const AVCodecParameters& video = *codec_->format->streams[codec_->stream]->codecpar;
  const AVPixFmtDescriptor* pixels = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(video.format));
  if (!pixels || video.width <= 0 || video.height <= 0)
    throw ToolError(path_, "the movie's video has no picture size or pixel format");
  const bool alpha = (pixels->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
  const int bits = pixels->comp[0].depth;
  spec_ = OIIO::ImageSpec(video.width, video.height, alpha ? 4 : 3, bits > 8 ? OIIO::TypeDesc::UINT16 : OIIO::TypeDesc::UINT8);
  if (alpha) spec_.alpha_channel = 3;
  const AVDictionaryEntry* tag = nullptr;
  while ((tag = av_dict_get(codec_->format->metadata, "", tag, AV_DICT_IGNORE_SUFFIX)))
    spec_.attribute(tag->key, tag->value);
  const AVRational rate = av_guess_frame_rate(codec_->format, codec_->format->streams[codec_->stream], nullptr);
  if (rate.num > 0 && rate.den > 0) spec_.attribute("FramesPerSecond", static_cast<float>(av_q2d(rate)));
  spec_.attribute("oiio:Movie", 1);
  spec_.attribute("oiio:BitsPerSample", bits);
}

MovieReader::~MovieReader() = default;

void MovieReader::Open() {
  codec_ = std::make_unique<Codec>();
  next_index_ = 0;
  if (!codec_->packet || !codec_->frame) throw ToolError(path_, "out of memory");
  if (const int err = avformat_open_input(&codec_->format, path_.c_str(), nullptr, nullptr); err < 0)
    throw ToolError(path_, "cannot read: not an image or a movie FFmpeg reads (" + AvReason(err) + ")");
  if (const int err = avformat_find_stream_info(codec_->format, nullptr); err < 0)
    throw ToolError(path_, "cannot read the movie's streams: " + AvReason(err));
  const AVCodec* decoder = nullptr;
  codec_->stream = av_find_best_stream(codec_->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (codec_->stream < 0 || !decoder) throw ToolError(path_, "no video stream that FFmpeg decodes");
  codec_->decoder = avcodec_alloc_context3(decoder);
  if (!codec_->decoder) throw ToolError(path_, "out of memory");
  avcodec_parameters_to_context(codec_->decoder, codec_->format->streams[codec_->stream]->codecpar);
  if (const int err = avcodec_open2(codec_->decoder, decoder, nullptr); err < 0)
    throw ToolError(path_, std::string("cannot open the ") + decoder->name + " decoder: " + AvReason(err));
}

int MovieReader::CountFrames() {
  Codec counter;
  if (avformat_open_input(&counter.format, path_.c_str(), nullptr, nullptr) < 0 ||
      avformat_find_stream_info(counter.format, nullptr) < 0)
    throw ToolError(path_, "cannot read the movie's streams");
  int frames = 0;
  while (av_read_frame(counter.format, counter.packet) >= 0) {
    // Packets outside the container's edit list are decoded but never shown.
    if (counter.packet->stream_index == codec_->stream && !(counter.packet->flags & AV_PKT_FLAG_DISCARD)) ++frames;
    av_packet_unref(counter.packet);
  }
  return frames;
}

// The decoder's next picture: packets in until one comes out, then the
// pictures the codec still holds once the file ends.
bool MovieReader::DecodeNext() {
  Codec& c = *codec_;
  for (;;) {
    const int received = avcodec_receive_frame(c.decoder, c.frame);
    if (received == 0) return true;
    if (received == AVERROR_EOF) return false;
    if (received != AVERROR(EAGAIN))
      throw ToolError(path_, "damaged movie: frame " + std::to_string(next_index_ + 1) + ": " + AvReason(received));
    if (c.draining) return false;
    const int read = av_read_frame(c.format, c.packet);
    if (read < 0) {
      c.draining = true;
      avcodec_send_packet(c.decoder, nullptr);
      continue;
    }
    if (c.packet->stream_index == c.stream) {
      const int sent = avcodec_send_packet(c.decoder, c.packet);
      if (sent < 0 && sent != AVERROR(EAGAIN))
        throw ToolError(path_, "damaged movie near frame " + std::to_string(next_index_ + 1) + ": " + AvReason(sent));
    }
    av_packet_unref(c.packet);
  }
}

bool MovieReader::ReadFrame(int index, std::vector<std::byte>& pixels) {
  if (index < next_index_ - 1 || (index == next_index_ - 1 && !codec_->frame->data[0])) Open();
  while (next_index_ <= index) {
    if (!DecodeNext()) return false;
    ++next_index_;
  }
  Codec& c = *codec_;
  const AVFrame& frame = *c.frame;
  if (frame.width != spec_.width || frame.height != spec_.height)
    throw ToolError(path_, "frame " + std::to_string(index + 1) + " changes the picture size to " +
                               std::to_string(frame.width) + " x " + std::to_string(frame.height));
  const bool deep = spec_.format == OIIO::TypeDesc::UINT16;
  const AVPixelFormat target = spec_.nchannels == 4 ? (deep ? AV_PIX_FMT_RGBA64 : AV_PIX_FMT_RGBA)
                                                     : (deep ? AV_PIX_FMT_RGB48 : AV_PIX_FMT_RGB24);
  c.scaler = sws_getCachedContext(c.scaler, frame.width, frame.height, static_cast<AVPixelFormat>(frame.format),
                                  frame.width, frame.height, target, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                                  nullptr, nullptr, nullptr);
  if (!c.scaler) throw ToolError(path_, "cannot convert the movie's pixel format to RGB");
  // The matrix and range the video says it uses (BT.601 when it says nothing).
  if (IsYuv(frame))
    sws_setColorspaceDetails(c.scaler, sws_getCoefficients(frame.colorspace), IsFullRange(frame) ? 1 : 0,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
  pixels.resize(spec_.image_bytes());
  uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(pixels.data()), nullptr, nullptr, nullptr};
  const int strides[4] = {static_cast<int>(spec_.scanline_bytes()), 0, 0, 0};
  sws_scale(c.scaler, frame.data, frame.linesize, 0, frame.height, planes, strides);
  return true;
}

}  // namespace huewright
