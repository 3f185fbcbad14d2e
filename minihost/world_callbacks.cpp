// World creation and disposal (World Suite 1 and 2), pixel format queries
// (World Suite 2 and the Pixel Format Suite) and the copy utility.
#include <algorithm>
#include <cstring>

#include "host_state.h"

namespace minihost {

namespace {

std::optional<PixelLayout> LayoutOfAeFormat(PF_PixelFormat format) {
  switch (format) {
    case PF_PixelFormat_ARGB32:
      return PixelLayout::kArgb8;
    case PF_PixelFormat_ARGB64:
      return PixelLayout::kArgb16;
    case PF_PixelFormat_ARGB128:
      return PixelLayout::kArgbFloat;
    default:
      return std::nullopt;
  }
}

PF_Err NewWorld1(PF_ProgPtr effect_ref, A_long width, A_long height, PF_NewWorldFlags flags, PF_EffectWorld* world) {
  HostState* host = HostFromRef(effect_ref, "new_world");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"new_world", "", {width, height, flags}, {world}, PF_Err_NONE}, [&](CallRecord&) {
    const PixelLayout layout = (flags & PF_NewWorldFlag_DEEP_PIXELS) ? PixelLayout::kArgb16 : PixelLayout::kArgb8;
    return host->CreateWorld(layout, width, height, (flags & PF_NewWorldFlag_CLEAR_PIXELS) != 0, world);
  });
}

PF_Err DisposeWorld1(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
  HostState* host = HostFromRef(effect_ref, "dispose_world");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"dispose_world", "", {}, {world}, PF_Err_NONE},
                   [&](CallRecord&) { return host->DisposeWorld("dispose_world", world); });
}

PF_Err NewWorld2(PF_ProgPtr effect_ref, A_long width, A_long height, PF_Boolean clear_pixB,
                 PF_PixelFormat pixel_format, PF_EffectWorld* world) {
  HostState* host = HostFromRef(effect_ref, "PF_NewWorld");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  CallRecord record{"PF_NewWorld", "", {width, height, clear_pixB, pixel_format}, {world}, PF_Err_NONE};
  return host->Run(std::move(record), [&](CallRecord&) -> PF_Err {
    const std::optional<PixelLayout> layout = LayoutOfAeFormat(pixel_format);
    if (!layout) {
      host->Error("PF_NewWorld with pixel format " + std::to_string(pixel_format) + ", which is not an AE format");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    return host->CreateWorld(*layout, width, height, clear_pixB != 0, world);
  });
}

PF_Err DisposeWorld2(PF_ProgPtr effect_ref, PF_EffectWorld* world) {
  HostState* host = HostFromRef(effect_ref, "PF_DisposeWorld");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"PF_DisposeWorld", "", {}, {world}, PF_Err_NONE},
                   [&](CallRecord&) { return host->DisposeWorld("PF_DisposeWorld", world); });
}

// The format is recorded as the first value only after the work, so faults
// match these calls by occurrence.
PF_Err GetAeFormat(const PF_EffectWorld* world, PF_PixelFormat* format) {
  HostState* host = HostForContextFreeCall("PF_GetPixelFormat");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"PF_GetPixelFormat", "", {}, {world}, PF_Err_NONE}, [&](CallRecord& record) -> PF_Err {
    const World* known = host->FindWorld(world);
    if (!known || !format) {
      host->Error("PF_GetPixelFormat of a world the host does not know, or with no place for the format");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    *format = known->AeFormat();
    record.values.push_back(*format);
    return PF_Err_NONE;
  });
}

PF_Err ClearSupportedPixelFormats(PF_ProgPtr effect_ref) {
  HostState* host = HostFromRef(effect_ref, "ClearSupportedPixelFormats");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"ClearSupportedPixelFormats", "", {}, {}, PF_Err_NONE}, [&](CallRecord&) {
    host->declared_formats.clear();
    ++host->format_clears;
    return PF_Err_NONE;
  });
}

PF_Err AddSupportedPixelFormat(PF_ProgPtr effect_ref, PrPixelFormat pixel_format) {
  HostState* host = HostFromRef(effect_ref, "AddSupportedPixelFormat");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"AddSupportedPixelFormat", "", {pixel_format}, {}, PF_Err_NONE}, [&](CallRecord&) {
    host->declared_formats.push_back(pixel_format);
    return PF_Err_NONE;
  });
}

PF_Err GetPremiereFormat(PF_EffectWorld* world, PrPixelFormat* format) {
  HostState* host = HostForContextFreeCall("GetPixelFormat");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"GetPixelFormat", "", {}, {world}, PF_Err_NONE}, [&](CallRecord& record) -> PF_Err {
    const World* known = host->FindWorld(world);
    if (!known || !format) {
      host->Error("GetPixelFormat of a world the host does not know, or with no place for the format");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (!host->format_query_leaves_format) *format = known->PremiereFormat();
    record.values.push_back(*format);
    return PF_Err_NONE;
  });
}

PF_LRect Intersect(PF_LRect a, PF_LRect b) {
  return PF_LRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
}

// Copies src_rect of src (whole world when null) to dst_rect's top-left
// corner in dst (the origin when null), clipped to both worlds.
PF_Err CopyPixels(HostState& host, PF_EffectWorld* src, PF_EffectWorld* dst, const PF_Rect* src_rect,
                  const PF_Rect* dst_rect) {
  World* from = host.FindWorld(src);
  World* to = host.FindWorld(dst);
  if (!from || !to) {
    host.Error("copy between worlds the host does not know");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  if (PixelBytes(from->Layout()) != PixelBytes(to->Layout())) {
    host.Error(std::string("copy from a ") + LayoutName(from->Layout()) + " world to a " + LayoutName(to->Layout()) +
               " world");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  const PF_LRect source = Intersect(src_rect ? *src_rect : PF_LRect{0, 0, from->Width(), from->Height()},
                                    PF_LRect{0, 0, from->Width(), from->Height()});
  const A_long to_left = dst_rect ? dst_rect->left : 0;
  const A_long to_top = dst_rect ? dst_rect->top : 0;
  // Columns of the source that land inside the destination.
  const A_long left = to_left < 0 ? source.left - to_left : source.left;
  const A_long right = std::min(source.right, source.left + (to->Width() - to_left));
  const std::size_t pixel = PixelBytes(from->Layout());
  for (A_long y = source.top; y < source.bottom && left < right; ++y) {
    const A_long ty = to_top + (y - source.top);
    if (ty < 0 || ty >= to->Height()) continue;
    const A_long tx = to_left + (left - source.left);
    std::memcpy(to->PixelAddress(tx, ty), from->PixelAddress(left, y), pixel * static_cast<std::size_t>(right - left));
  }
  return PF_Err_NONE;
}

PF_Err Copy(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r) {
  HostState* host = HostFromRef(effect_ref, "copy");
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return host->Run(CallRecord{"copy", "", {}, {src, dst, src_r, dst_r}, PF_Err_NONE},
                   [&](CallRecord&) { return CopyPixels(*host, src, dst, src_r, dst_r); });
}

const PF_WorldSuite1 kWorldSuite1 = {NewWorld1, DisposeWorld1};
const PF_WorldSuite2 kWorldSuite2 = {NewWorld2, DisposeWorld2, GetAeFormat};
const PF_PixelFormatSuite1 kPixelFormatSuite = {AddSupportedPixelFormat, ClearSupportedPixelFormats,
                                                GetPremiereFormat};

}  // namespace

const void* WorldSuite1Table() { return &kWorldSuite1; }
const void* WorldSuite2Table() { return &kWorldSuite2; }
const void* PixelFormatSuiteTable() { return &kPixelFormatSuite; }

void InstallUtilCallbacks(HostState& host) { host.utils.copy = Copy; }

}  // namespace minihost
