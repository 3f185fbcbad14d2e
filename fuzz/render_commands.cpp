// The two render paths with worlds the host's contract allows, however odd.
#include <algorithm>

#include "frames.h"
#include "invariants.h"
#include "session.h"

namespace fuzz {

namespace {

using minihost::PixelLayout;

std::string Describe(const std::string& label, const Frame& frame) {
  const auto size = [](const minihost::World& world) {
    return std::to_string(world.Width()) + "x" + std::to_string(world.Height()) + " rowbytes " +
           std::to_string(world.RowBytes());
  };
  return label + " [" + minihost::LayoutName(frame.input.Layout()) + " input " + size(frame.input) + ", output " +
         size(frame.output) + "]";
}

// Rows a Premiere render paints: the float paths walk the extent_hint's rows
// only, the host's 8-bit pass covers the whole frame.
A_long PaintedRows(const minihost::World& output) {
  const PixelLayout layout = output.Layout();
  if (layout != PixelLayout::kBgraFloat && layout != PixelLayout::kVuyaFloat) return output.Height();
  const PF_LRect hint = output.Record()->extent_hint;
  const int64_t rows = static_cast<int64_t>(hint.bottom) - hint.top;
  return static_cast<A_long>(std::clamp<int64_t>(rows, 0, output.Height()));
}

bool HasPremierePath(PixelLayout layout) {
  return layout == PixelLayout::kBgra8 || layout == PixelLayout::kBgraFloat || layout == PixelLayout::kVuyaFloat;
}

// A format query that failed before answering leaves the format unknown:
// the frame is then rightly left as the host handed it over.
bool FormatUnanswered(const minihost::Host& host, std::size_t first_call) {
  const std::vector<minihost::CallRecord> calls = host.Log().All();
  for (std::size_t index = first_call; index < calls.size(); ++index)
    if (calls[index].name == "PF_GetPixelFormat" && calls[index].values.empty()) return true;
  return false;
}

}  // namespace

void SmartRenderCommand(ByteReader& reader, HostSlot& slot, const std::string& label) {
  Frame frame = DecodeFrame(reader, reader.Byte() >= 224);
  const std::string sent = Describe(label, frame);
  const std::size_t first_call = slot.host.Log().Size();
  const PF_Err result = slot.host.SmartRender(frame.input, frame.output);
  ExpectAllowedResult(sent, result, slot.codes);
  ExpectHostClean(sent, slot.host);
  ExpectWorldsIntact(sent, frame);
  ExpectFirstFailurePassedOn(sent, slot.host, first_call, result);
  if (result != PF_Err_NONE || !AnalysisOn() || !minihost::IsAfterEffectsLayout(frame.input.Layout()) ||
      !SameSize(frame.input, frame.output) || FormatUnanswered(slot.host, first_call))
    return;
  if (slot.host.Params().checkbox == 0) return ExpectExactCopy(sent, frame);
  ExpectPassThrough(sent, frame, frame.input.Width(), frame.input.Height(), frame.input.Height());
}

void ClassicRenderCommand(ByteReader& reader, HostSlot& slot, const std::string& label) {
  Frame frame = DecodeFrame(reader, true);
  const std::string sent = Describe(label, frame);
  bool leaves = false;
  PF_Err result = PF_Err_NONE;
  const std::size_t first_call = slot.host.Log().Size();
  {
    const FormatQueryFor query(slot, frame.output);
    leaves = query.leaves();
    result = slot.host.Render(frame.input, frame.output);
  }
  ExpectAllowedResult(sent, result, slot.codes);
  ExpectHostClean(sent, slot.host);
  ExpectWorldsIntact(sent, frame);
  ExpectFirstFailurePassedOn(sent, slot.host, first_call, result);
  if (!slot.premiere()) return ExpectExactResult(sent, result, PF_Err_NONE);
  if (!slot.faults_armed && !leaves)
    ExpectExactResult(sent, result,
                      HasPremierePath(frame.output.Layout()) ? PF_Err_NONE : PF_Err_UNRECOGNIZED_PARAM_TYPE);
  if (result != PF_Err_NONE || !AnalysisOn() || !SameSize(frame.input, frame.output)) return;
  ExpectPassThrough(sent, frame, frame.output.Width(), frame.output.Height(), PaintedRows(frame.output));
}

}  // namespace fuzz
