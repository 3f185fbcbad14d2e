#include <algorithm>
#include <cstring>
#include <utility>

#include "band_accumulator.h"
#include "host_pixel_functions.h"
#include "layout_table.h"
#include "param_indices.h"
#include "pixel_refcon.h"
#include "publish_frame.h"
#include "render_pipelines.h"
#include "row_walker.h"
#include "suite_helpers.h"
#include "swatch_layout.h"
#include "world_checks.h"

namespace {

// The part of the two worlds that both hold: the passes never leave it.
struct FramePair {
  PF_InData* in_data;
  const PF_Iterate8Suite1* iterate8;
  PF_EffectWorld* input;
  PF_EffectWorld* output;
  int32_t row_count;  // extent_hint rows: the host pass's progress range
  int32_t width;      // columns inside both worlds
  int32_t rows;       // rows inside both worlds, at most row_count
};

PF_Err HostPass(const FramePair& frame, PixelRefcon& refcon, PF_Pixel8IterateFunc fn) {
  // The host walks the whole output; only an input too small to cover it
  // narrows the walk, so that no pixel outside the input is read.
  const bool covered = frame.input->width >= frame.output->width && frame.input->height >= frame.output->height;
  const PF_Rect inside = {0, 0, frame.width, std::min(frame.input->height, frame.output->height)};
  return frame.iterate8->iterate(frame.in_data, 0, frame.row_count, frame.input, covered ? nullptr : &inside, &refcon,
                                 fn, frame.output);
}

// The effect's own walk over a world of 16-byte pixels, row by row.
template <class HostPixel>
PF_Err Walk(const FramePair& frame, PixelRefcon& refcon,
            void (*fn)(PixelRefcon*, int32_t, const HostPixel*, HostPixel*, int32_t)) {
  const FrameRows<const HostPixel> input = {static_cast<const HostPixel*>(frame.input->data), frame.width,
                                            frame.input->rowbytes};
  const FrameRows<HostPixel> output = {static_cast<HostPixel*>(frame.output->data), frame.width,
                                       frame.output->rowbytes};
  WalkRows(input, output, frame.rows, &refcon, fn);
  return PF_Err_NONE;
}

// How Premiere hands over each format the effect declares: its code,
// palette's layout of those pixels, and the passes over it, through the
// host's 8-bit iteration or the effect's own walk, with the host-shaped
// functions. What the layout's palette does (model, clamp, whether it
// analyses at low quality) is the layout table's.
struct PremiereFormat {
  PrPixelFormat format;
  PixelLayout layout;
  PF_Err (*analyse)(const FramePair&, PixelRefcon&);
  PF_Err (*draw)(const FramePair&, PixelRefcon&);
};

template <auto kFunction>
PF_Err ByHost(const FramePair& frame, PixelRefcon& refcon) {
  return HostPass(frame, refcon, kFunction);
}
template <auto kFunction>
PF_Err ByWalk(const FramePair& frame, PixelRefcon& refcon) {
  return Walk(frame, refcon, kFunction);
}

// VUYA 8-bit is not declared to the host and has no path: painting RGB bands
// into its bytes would give wrong colours.
constexpr PremiereFormat kPremiereFormats[] = {
    {PrPixelFormat_BGRA_4444_32f, PixelLayout::kBgraFloat, ByWalk<AnalyzeBgraFloatRow>, ByWalk<DrawBgraFloatRow>},
    {PrPixelFormat_BGRA_4444_8u, PixelLayout::kBgra8, ByHost<AnalyzeBgra8>, ByHost<DrawBgra8>},
    {PrPixelFormat_VUYA_4444_32f, PixelLayout::kVuyaFloat, ByWalk<AnalyzeVuyaFloatRow>, ByWalk<DrawVuyaFloatRow>},
};

const PremiereFormat* FindPremiereFormat(PrPixelFormat format) {
  for (const PremiereFormat& entry : kPremiereFormats)
    if (entry.format == format) return &entry;
  return nullptr;
}

// The YUV reset that every Premiere frame rendered while analysis is on owes
// BandStats, whatever its format: done inside the frame's publishing step,
// or, when the frame never gets there (a refused suite, a format without a
// path, an interrupted pass), as the call ends.
class OwedYuvReset {
 public:
  explicit OwedYuvReset(bool owed) : owed_(owed) {}
  ~OwedYuvReset() {
    if (owed_) WithBandStats([](BandStats& stats) { ResetYuvBands(stats); });
  }
  OwedYuvReset(const OwedYuvReset&) = delete;
  OwedYuvReset& operator=(const OwedYuvReset&) = delete;

  // Whether the reset is still owed; the caller takes it over.
  bool Take() { return std::exchange(owed_, false); }

 private:
  bool owed_;
};

PF_Err RunFormat(const PremiereFormat& format, const FramePair& frame, PixelRefcon& refcon, bool analysis_on,
                 OwedYuvReset& yuv_reset) {
  const LayoutInfo& layout = LayoutOf(format.layout);
  const bool analyse = analysis_on && (layout.analyses_at_low_quality || frame.in_data->quality == PF_Quality_HI);
  // Every row the host pass or the walk may visit.
  BandAccumulator accumulator(analyse, frame.output->height);
  if (analyse) {
    refcon.accumulator = &accumulator;
    const PF_Err err = format.analyse(frame, refcon);
    refcon.accumulator = nullptr;
    // An interrupted pass neither becomes the palette nor yields a finished frame.
    if (err) return err;
  }
  FramePublication publication;
  publication.analysed = analyse ? &accumulator : nullptr;
  publication.model = layout.model;
  publication.gain = 1.0;  // Premiere renders without the gain parameter
  publication.clamp = layout.clamp;
  publication.reset_yuv_first = yuv_reset.Take();
  const BandPalette palette = PublishFrame(ProcessBandStats(), BandStatsMutex(), publication);
  refcon.palette = &palette;
  const PF_Err err = format.draw(frame, refcon);
  refcon.palette = nullptr;
  return err;
}

PF_EffectWorld* InputLayer(PF_ParamDef* params[]) {
  return params && params[PARAM_INPUT] ? &params[PARAM_INPUT]->u.ld : nullptr;
}

}  // namespace

PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output) {
  if (in_data->appl_id != PF_APPL_ID_PREMIERE) return PF_Err_NONE;
  if (!output) return PF_Err_BAD_CALLBACK_PARAM;
  PixelRefcon refcon;
  std::memset(&refcon, 0, sizeof refcon);
  refcon.frame_width = static_cast<double>(output->width);
  refcon.frame_height = static_cast<double>(output->height);
  PrepareSwatchBounds(refcon);
  const int32_t row_count = ExtentRowCount(*output);

  const bool analysis_on = AnalysisEnabled(ProcessBandStats());
  OwedYuvReset yuv_reset(analysis_on);

  SuiteScope<PF_PixelFormatSuite1> formats(in_data, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, out_data);
  PrPixelFormat format = PrPixelFormat_BGRA_4444_8u;  // a query that leaves it selects BGRA 8-bit
  formats->GetPixelFormat(output, &format);
  SuiteScope<PF_Iterate8Suite1> iterate8(in_data, kPFIterate8Suite, kPFIterate8SuiteVersion1, out_data);

  const PremiereFormat* path = FindPremiereFormat(format);
  if (!path) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
  PF_EffectWorld* input = InputLayer(params);
  const int32_t pixel_bytes = LayoutOf(path->layout).pixel_bytes;
  if (!WorldIsSound(input, pixel_bytes) || !WorldIsSound(output, pixel_bytes)) return PF_Err_BAD_CALLBACK_PARAM;

  const int32_t width = std::min(input->width, output->width);
  const int32_t rows = std::min({row_count, input->height, output->height});
  const FramePair frame = {in_data, iterate8.get(), input, output, row_count, width, rows};
  return RunFormat(*path, frame, refcon, analysis_on, yuv_reset);
}
