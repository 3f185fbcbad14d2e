// Records a host should never send: missing pointers, impossible worlds,
// callback tables with holes. The effect answers them with an error code
// and touches no memory.
#include <functional>

#include "frames.h"
#include "invariants.h"
#include "session.h"

namespace fuzz {

namespace {

using minihost::PixelLayout;
using minihost::World;

enum class WorldDefect { kNegativeWidth, kNegativeHeight, kShortRows, kNoData, kCount };

// Makes the record describe a world that cannot exist; false when this world
// has no pixels to make the defect matter (it then stays sound).
bool Damage(PF_EffectWorld& record, WorldDefect defect, uint8_t amount, A_long pixel_bytes) {
  switch (defect) {
    case WorldDefect::kNegativeWidth:
      record.width = -1 - amount % 5;
      return true;
    case WorldDefect::kNegativeHeight:
      record.height = -1 - amount % 5;
      return true;
    case WorldDefect::kShortRows: {
      const A_long row = record.width * pixel_bytes;
      if (record.width == 0 || record.height == 0) return false;
      const A_long shorter = row - 1 - amount % row;
      record.rowbytes = record.rowbytes < 0 ? -shorter : shorter;
      return true;
    }
    case WorldDefect::kNoData:
      if (record.width == 0 || record.height == 0) return false;
      record.data = nullptr;
      return true;
    case WorldDefect::kCount:
      break;
  }
  return false;
}

bool HasPremierePath(PixelLayout layout) {
  return layout == PixelLayout::kBgra8 || layout == PixelLayout::kBgraFloat || layout == PixelLayout::kVuyaFloat;
}

// Restores a record (or in_data) on every path, before the guards are read.
template <class Record>
class Restore {
 public:
  explicit Restore(Record& record) : record_(record), saved_(record) {}
  ~Restore() { record_ = saved_; }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  Record& record_;
  Record saved_;
};

}  // namespace

// Premiere's classic render with one defect: missing parameter array, layer
// or output, an impossible input or output world, or holes in in_data.
void HostileRenderCommand(ByteReader& reader, HostSlot& slot, const std::string& label) {
  Frame frame = DecodeFrame(reader, true);
  const uint8_t choice = reader.Byte() % 12;
  const uint8_t amount = reader.Byte();
  const std::string sent = label + " [defect " + std::to_string(choice) + ", " +
                           minihost::LayoutName(frame.output.Layout()) + "]";
  const A_long pixel_bytes = static_cast<A_long>(minihost::PixelBytes(frame.output.Layout()));

  PF_ParamDef records[4] = {};
  records[0].param_type = PF_Param_LAYER;
  records[0].u.ld = *frame.input.Record();
  PF_ParamDef* params[4] = {&records[0], &records[1], &records[2], &records[3]};
  PF_ParamDef** sent_params = params;
  PF_EffectWorld* output = frame.output.Record();
  bool unsound = true;  // a defect that must be answered with PF_Err_BAD_CALLBACK_PARAM
  bool before_suites = false;
  PF_Err result = PF_Err_NONE;
  {
    const FormatQueryFor query(slot, frame.output);
    Restore<PF_EffectWorld> output_guard(*frame.output.Record());
    Restore<PF_InData> in_data_guard(slot.host.InData());
    if (choice == 0) {
      sent_params = nullptr;
    } else if (choice == 1) {
      params[0] = nullptr;
    } else if (choice == 2) {
      output = nullptr;
      before_suites = true;
    } else if (choice < 7) {
      unsound = Damage(records[0].u.ld, WorldDefect(choice - 3), amount, pixel_bytes);
    } else if (choice < 11) {
      unsound = Damage(*output, WorldDefect(choice - 7), amount, pixel_bytes);
    } else {
      slot.host.InData().pica_basicP = nullptr;
      unsound = false;
    }
    slot.host.UseWorlds(&frame.input, &frame.output);
    result = slot.host.Send(PF_Cmd_RENDER, sent_params, output, nullptr);
    slot.host.UseWorlds(nullptr, nullptr);
  }
  ExpectAllowedResult(sent, result, slot.codes);
  ExpectHostClean(sent, slot.host);
  ExpectWorldsIntact(sent, frame);
  if (!slot.premiere()) return ExpectExactResult(sent, result, PF_Err_NONE);
  if (before_suites) return ExpectExactResult(sent, result, PF_Err_BAD_CALLBACK_PARAM);
  if (unsound && !slot.faults_armed && !slot.query_leaves_format && HasPremierePath(frame.output.Layout()))
    ExpectExactResult(sent, result, PF_Err_BAD_CALLBACK_PARAM);
}

// The smart commands and setup commands with holes in their records.
void HostileSmartCommand(ByteReader& reader, HostSlot& slot, const std::string& label) {
  Frame frame = DecodeFrame(reader, false);
  const uint8_t choice = reader.Byte() % 14;
  const std::string sent = label + " [hole " + std::to_string(choice) + "]";
  minihost::Host& host = slot.host;
  PF_Err result = PF_Err_NONE;
  PF_Err expected = PF_Err_BAD_CALLBACK_PARAM;
  {
    Restore<PF_InData> in_data_guard(host.InData());
    PF_InData& in_data = host.InData();
    PF_SmartRenderInput render_input{};
    PF_SmartRenderCallbacks no_render_callbacks{};
    PF_SmartRenderExtra render_extra{&render_input, nullptr};
    PF_PreRenderInput pre_input{};
    PF_PreRenderOutput pre_output{};
    PF_PreRenderCallbacks no_pre_callbacks{};
    PF_PreRenderExtra pre_extra{&pre_input, &pre_output, &no_pre_callbacks};
    host.UseWorlds(&frame.input, &frame.output);
    switch (choice) {
      case 0:
        result = host.Send(PF_Cmd_SMART_RENDER);
        break;
      case 1:
        result = host.Send(PF_Cmd_SMART_RENDER, nullptr, nullptr, &render_extra);
        break;
      case 2:
        render_extra.cb = &no_render_callbacks;
        result = host.Send(PF_Cmd_SMART_RENDER, nullptr, nullptr, &render_extra);
        break;
      case 3:
        result = host.Send(PF_Cmd_SMART_PRE_RENDER);
        break;
      case 4:
        pre_extra.input = nullptr;
        result = host.Send(PF_Cmd_SMART_PRE_RENDER, nullptr, nullptr, &pre_extra);
        break;
      case 5:
        pre_extra.output = nullptr;
        result = host.Send(PF_Cmd_SMART_PRE_RENDER, nullptr, nullptr, &pre_extra);
        break;
      case 6:
        pre_extra.cb = nullptr;
        result = host.Send(PF_Cmd_SMART_PRE_RENDER, nullptr, nullptr, &pre_extra);
        break;
      case 7:
        result = host.Send(PF_Cmd_SMART_PRE_RENDER, nullptr, nullptr, &pre_extra);
        break;
      default:
        host.UseWorlds(nullptr, nullptr);
        if (choice == 8) in_data.inter.checkout_param = nullptr;
        if (choice == 9) in_data.inter.checkin_param = nullptr;
        if (choice == 10) in_data.pica_basicP = nullptr;
        if (choice == 11) in_data.utils = nullptr;
        if (choice <= 11) result = host.SmartRender(frame.input, frame.output);
        if (choice == 12) {
          in_data.pica_basicP = nullptr;
          result = host.GlobalSetup();
          expected = slot.premiere() ? A_Err_MISSING_SUITE : PF_Err_NONE;
        }
        if (choice == 13) {
          in_data.pica_basicP = nullptr;
          result = host.About();
        }
        break;
    }
    host.UseWorlds(nullptr, nullptr);
  }
  ExpectAllowedResult(sent, result, slot.codes);
  ExpectHostClean(sent, slot.host);
  ExpectWorldsIntact(sent, frame);
  if (!slot.faults_armed) ExpectExactResult(sent, result, expected);
}

}  // namespace fuzz
