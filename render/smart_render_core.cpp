#include <cstring>

#include "band_accumulator.h"
#include "host_pixel_functions.h"
#include "layout_table.h"
#include "param_indices.h"
#include "pixel_refcon.h"
#include "publish_frame.h"
#include "render_pipelines.h"
#include "suite_helpers.h"
#include "swatch_layout.h"

namespace {

constexpr const char* kLoadFailureText = "Couldn't load suite.";
constexpr const char* kReleaseFailureText = "Coludn't release suite.";  // the host shows it as spelled
constexpr PF_Boolean kClearNewWorld = 3;

// What one frame's passes need besides the suites.
struct Frame {
  PF_InData* in_data;
  PF_EffectWorld* input;
  PF_EffectWorld* output;
  PF_EffectWorld* drawing;
  PixelRefcon* refcon;
};

PF_Err Iterate(SuiteCache& suites, const Frame& f, PF_EffectWorld* dst, PF_Pixel8IterateFunc fn) {
  return suites.Iterate8()->iterate(f.in_data, 0, f.output->height, f.input, nullptr, f.refcon, fn, dst);
}
PF_Err Iterate(SuiteCache& suites, const Frame& f, PF_EffectWorld* dst, PF_Pixel16IterateFunc fn) {
  return suites.Iterate16()->iterate(f.in_data, 0, f.output->height, f.input, nullptr, f.refcon, fn, dst);
}
PF_Err Iterate(SuiteCache& suites, const Frame& f, PF_EffectWorld* dst, PF_PixelFloatIterateFunc fn) {
  return suites.IterateFloat()->iterate(f.in_data, 0, f.output->height, f.input, nullptr, f.refcon, fn, dst);
}

PF_Err NewWorld8(SuiteCache& suites, const PF_WorldSuite2*, const Frame& f) {
  return suites.World1()->new_world(f.in_data->effect_ref, f.output->width, f.output->height,
                                    PF_NewWorldFlag_CLEAR_PIXELS, f.drawing);
}
template <PF_PixelFormat kFormat>
PF_Err NewDeepWorld(SuiteCache&, const PF_WorldSuite2* worlds, const Frame& f) {
  return worlds->PF_NewWorld(f.in_data->effect_ref, f.output->width, f.output->height, kClearNewWorld, kFormat,
                             f.drawing);
}

// How After Effects hands over each depth: its format code, palette's
// layout of those pixels, how the drawing world of that depth is made, and
// the passes through the iteration suite of that depth with the host-shaped
// pixel functions. What the layout's palette does (clamp, gain) is the
// layout table's.
struct AeDepth {
  PF_PixelFormat format;
  PixelLayout layout;
  PF_Err (*new_world)(SuiteCache&, const PF_WorldSuite2*, const Frame&);
  PF_Err (*analyse)(SuiteCache&, const Frame&);
  PF_Err (*draw)(SuiteCache&, const Frame&);
};

template <auto kFunction>
PF_Err AnalysisPass(SuiteCache& suites, const Frame& f) {
  return Iterate(suites, f, f.output, kFunction);
}
template <auto kFunction>
PF_Err DrawingPass(SuiteCache& suites, const Frame& f) {
  return Iterate(suites, f, f.drawing, kFunction);
}

constexpr AeDepth kAeDepths[] = {
    {PF_PixelFormat_ARGB128, PixelLayout::kArgbFloat, NewDeepWorld<PF_PixelFormat_ARGB128>,
     AnalysisPass<AnalyzeArgbFloat>, DrawingPass<DrawArgbFloat>},
    {PF_PixelFormat_ARGB64, PixelLayout::kArgb16, NewDeepWorld<PF_PixelFormat_ARGB64>, AnalysisPass<AnalyzeArgb16>,
     DrawingPass<DrawArgb16>},
    {PF_PixelFormat_ARGB32, PixelLayout::kArgb8, NewWorld8, AnalysisPass<AnalyzeArgb8>, DrawingPass<DrawArgb8>},
};

const AeDepth* FindAeDepth(PF_PixelFormat format) {
  for (const AeDepth& depth : kAeDepths)
    if (depth.format == format) return &depth;
  return nullptr;
}

// The world suite and the drawing world: the world is disposed and the suite
// released on every path, also when a missing suite aborts the command.
class DrawingWorldHold {
 public:
  DrawingWorldHold(PF_InData* in_data, PF_OutData* out_data) : in_data_(in_data), out_data_(out_data) {
    std::memset(&world_, 0, sizeof world_);
    acquire_err_ = AcquireHostSuite(in_data, out_data, kPFWorldSuite, kPFWorldSuiteVersion2, kLoadFailureText, &suite_,
                                    &host_code_);
  }
  ~DrawingWorldHold() {
    if (!finished_) Finish();
  }
  DrawingWorldHold(const DrawingWorldHold&) = delete;
  DrawingWorldHold& operator=(const DrawingWorldHold&) = delete;

  PF_Err acquire_err() const { return acquire_err_; }
  const PF_WorldSuite2* suite() const { return suite_; }
  PF_EffectWorld* world() { return &world_; }

  // Disposal then release, the first failing code. Only a suite the host
  // handed over with code 0 is released: releasing one it refused, pointer or
  // not, could drop another holder's reference.
  PF_Err Finish() {
    finished_ = true;
    const PF_Err dispose_err = acquire_err_ ? PF_Err_NONE : suite_->PF_DisposeWorld(in_data_->effect_ref, &world_);
    const PF_Err release_err =
        host_code_ ? PF_Err_NONE
                   : ReleaseHostSuite(in_data_, out_data_, kPFWorldSuite, kPFWorldSuiteVersion2, kReleaseFailureText);
    return dispose_err ? dispose_err : release_err;
  }

 private:
  PF_InData* in_data_;
  PF_OutData* out_data_;
  const PF_WorldSuite2* suite_ = nullptr;
  PF_EffectWorld world_;
  PF_Err acquire_err_;
  SPErr host_code_ = A_Err_MISSING_SUITE;
  bool finished_ = false;
};

PF_Err RunDepth(SuiteCache& suites, const AeDepth& depth, const PF_WorldSuite2* worlds, const Frame& frame) {
  const LayoutInfo& layout = LayoutOf(depth.layout);
  PixelRefcon& refcon = *frame.refcon;
  // Every row of the output world, which the host passes visit.
  BandAccumulator accumulator(AnalysisEnabled(ProcessBandStats()), frame.output->height);
  refcon.accumulator = &accumulator;

  PF_Err err = depth.new_world(suites, worlds, frame);
  if (!err) err = depth.analyse(suites, frame);
  refcon.accumulator = nullptr;

  const bool draw = !err && refcon.draw_enabled;
  // The averages are published also after a failed step (an empty or partial
  // pass normalises to what it counted); only a frame that is drawn clamps.
  FramePublication publication;
  publication.analysed = accumulator.enabled() ? &accumulator : nullptr;
  publication.model = layout.model;
  publication.gain = layout.gain_applies ? refcon.gain : 1.0;
  publication.clamp = draw ? layout.clamp : RgbClamp::kNone;
  const BandPalette palette = PublishFrame(ProcessBandStats(), BandStatsMutex(), publication);
  if (err) return err;
  if (!draw) return frame.in_data->utils->copy(frame.in_data->effect_ref, frame.input, frame.output, nullptr, nullptr);

  refcon.palette = &palette;
  err = depth.draw(suites, frame);
  refcon.palette = nullptr;
  if (err) return err;
  return frame.in_data->utils->copy(frame.in_data->effect_ref, frame.drawing, frame.output, nullptr, nullptr);
}

bool HasCoreRecords(const PF_InData* in_data, const PF_EffectWorld* output, const PF_EffectWorld* input,
                    PF_ParamDef* params[]) {
  return output && input && params && params[PARAM_ENABLE] && params[PARAM_GAIN] && in_data->utils &&
         in_data->utils->copy;
}

}  // namespace

PF_Err SmartRenderCore(PF_InData* in_data, PF_OutData* out_data, PF_EffectWorld* output, PF_EffectWorld* input,
                       PF_ParamDef* params[]) {
  if (!HasCoreRecords(in_data, output, input, params)) return PF_Err_BAD_CALLBACK_PARAM;
  SuiteCache suites(in_data->pica_basicP);

  PixelRefcon refcon;
  std::memset(&refcon, 0, sizeof refcon);
  refcon.frame_width = static_cast<double>(input->width);
  refcon.frame_height = static_cast<double>(input->height);
  PrepareSwatchBounds(refcon);
  refcon.draw_enabled = params[PARAM_ENABLE]->u.bd.value != 0;
  refcon.gain = params[PARAM_GAIN]->u.fs_d.value;

  DrawingWorldHold drawing(in_data, out_data);
  if (drawing.acquire_err()) {
    drawing.Finish();
    return drawing.acquire_err();
  }

  PF_PixelFormat format = PF_PixelFormat_INVALID;
  drawing.suite()->PF_GetPixelFormat(input, &format);  // the format decides, not the call's result
  const AeDepth* depth = FindAeDepth(format);
  PF_Err err = PF_Err_NONE;
  if (depth) {
    err = RunDepth(suites, *depth, drawing.suite(), Frame{in_data, input, output, drawing.world(), &refcon});
  } else if (AnalysisEnabled(ProcessBandStats())) {
    // An unknown format is not analysed, but its frame still began with a reset.
    WithBandStats([](BandStats& stats) { ResetRgbBands(stats); });
  }
  const PF_Err finish_err = drawing.Finish();
  return err ? err : finish_err;
}
