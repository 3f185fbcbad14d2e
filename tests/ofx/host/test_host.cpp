#include "test_host.h"

#include <stdexcept>

#include "suites.h"

namespace ofx_host {

OfxPropertySetHandle NewImageHandle(const PropertySet& properties, Instance* owner);

namespace {

std::mutex& HostsLock() {
  static std::mutex lock;
  return lock;
}
std::map<OfxPropertySetHandle, Host*>& Hosts() {
  static std::map<OfxPropertySetHandle, Host*> hosts;
  return hosts;
}

const void* FetchSuite(OfxPropertySetHandle handle, const char* name, int version) {
  Host* host = Host::FromHandle(handle);
  if (!host) {
    AddFault("fetchSuite with a host handle the host never gave out");
    return nullptr;
  }
  if (!name || version != 1) return nullptr;
  const std::string suite = name;
  if (suite == kOfxPropertySuite) return &PropertySuite();
  if (suite == kOfxImageEffectSuite) return &ImageEffectSuite();
  if (suite == kOfxParameterSuite) return &ParameterSuite();
  if (suite == kOfxMultiThreadSuite && host->Options().multithread_suite) return &MultiThreadSuite();
  if (suite == kOfxMessageSuite && host->Options().message_suite) return &MessageSuite();
  return nullptr;
}

std::vector<double> Pair(double value) { return {value, value}; }

std::vector<int> Ints(const OfxRectI& rect) { return {rect.x1, rect.y1, rect.x2, rect.y2}; }
std::vector<double> Doubles(const OfxRectD& rect) { return {rect.x1, rect.y1, rect.x2, rect.y2}; }
OfxRectD RectDOf(const PropertySet& set, const std::string& name) {
  return {set.Double(name, 0), set.Double(name, 1), set.Double(name, 2), set.Double(name, 3)};
}

}  // namespace

Effect::Effect() { RegisterObject(this); }

Effect::~Effect() {
  for (auto& [name, clip] : clips) UnregisterObject(clip.get());
  for (auto& [name, param] : params) UnregisterObject(param.get());
  UnregisterObject(this);
}

Instance::Instance(Host& host, const Effect& described, const std::string& context) : host_(host) {
  effect_.properties = PropertySet(false);
  PropertySet& properties = effect_.properties;
  properties.DefineStrings(kOfxPropType, {"OfxTypeImageEffectInstance"});
  properties.DefineStrings(kOfxImageEffectPropContext, {context});
  properties.DefinePointer(kOfxPropInstanceData, nullptr);
  properties.DefineInts("OfxPropIsInteractive", {0});
  properties.DefineDoubles("OfxImageEffectPropProjectSize", {1920.0, 1080.0});
  properties.DefineDoubles("OfxImageEffectPropFrameRate", {25.0});
  for (const auto& [name, definition] : described.clips) {
    auto clip = std::make_unique<Clip>();
    clip->name = name;
    clip->owner = this;
    clip->properties = PropertySet(false);
    clip->properties.DefineStrings(kOfxPropName, {name});
    clip->properties.DefineStrings(kOfxPropType, {"OfxTypeClip"});
    clip->properties.DefineStrings(kOfxImageEffectPropPixelDepth, {kOfxBitDepthByte});
    clip->properties.DefineStrings(kOfxImageEffectPropComponents, {kOfxImageComponentRGBA});
    clip->properties.DefineInts(kOfxImageClipPropConnected, {1});
    clip->properties.DefineDoubles(kOfxImagePropPixelAspectRatio, {1.0});
    RegisterObject(clip.get());
    effect_.clips[name] = std::move(clip);
  }
  for (const std::string& name : described.param_order) {
    const Param& definition = *described.params.at(name);
    auto param = std::make_unique<Param>();
    param->type = definition.type;
    param->properties = definition.properties;
    param->boolean = definition.properties.Int(kOfxParamPropDefault);
    param->number = definition.properties.Double(kOfxParamPropDefault);
    RegisterObject(param.get());
    effect_.params[name] = std::move(param);
    effect_.param_order.push_back(name);
  }
}

Instance::~Instance() {
  if (created_) Destroy();
}

OfxStatus Instance::Send(const char* action, PropertySet* in, PropertySet* out) {
  return host_.Send(action, effect_.Handle(), in, out);
}

OfxStatus Instance::Create() {
  const OfxStatus status = Send(kOfxActionCreateInstance, nullptr, nullptr);
  created_ = status == kOfxStatOK;
  return status;
}

OfxStatus Instance::Destroy() {
  created_ = false;
  return Send(kOfxActionDestroyInstance, nullptr, nullptr);
}

void Instance::SetBoolean(const std::string& name, bool value) { effect_.params.at(name)->boolean = value ? 1 : 0; }
void Instance::SetDouble(const std::string& name, double value) { effect_.params.at(name)->number = value; }

void Instance::SetSourceFrame(double time, std::shared_ptr<HostImage> image, double scale) {
  const char* depth = DepthName(image->Shape().depth);
  for (auto& [name, clip] : effect_.clips) clip->properties.DefineStrings(kOfxImageEffectPropPixelDepth, {depth});
  std::lock_guard<std::mutex> hold(frames_lock_);
  frames_[time] = {std::move(image), scale};
}

OfxStatus Instance::ClipPreferences(PropertySet& out) {
  out = PropertySet(false);
  for (const auto& [name, clip] : effect_.clips) {
    out.DefineStrings(std::string(kOfxImageClipPropComponentsPrefix) + name, {kOfxImageComponentRGBA});
    out.DefineStrings(std::string(kOfxImageClipPropDepthPrefix) + name,
                      {clip->properties.String(kOfxImageEffectPropPixelDepth)});
    out.DefineDoubles("OfxImageClipPropPAR_" + name, {1.0});
  }
  out.DefineStrings(kOfxImageEffectPropPreMultiplication, {kOfxImagePreMultiplied});
  out.DefineStrings("OfxImageClipPropFieldOrder", {kOfxImageFieldNone});
  out.DefineDoubles("OfxImageEffectPropFrameRate", {25.0});
  out.DefineInts("OfxImageClipPropContinuousSamples", {0});
  out.DefineInts(kOfxImageEffectFrameVarying, {0});
  return Send(kOfxImageEffectActionGetClipPreferences, nullptr, &out);
}

OfxStatus Instance::RegionOfDefinition(double time, double scale, OfxRectD& region) {
  PropertySet in(false), out(false);
  in.DefineDoubles(kOfxPropTime, {time});
  in.DefineDoubles(kOfxImageEffectPropRenderScale, Pair(scale));
  SourceRegion(time, region);
  out.DefineDoubles(kOfxImageEffectPropRegionOfDefinition, Doubles(region));
  const OfxStatus status = Send(kOfxImageEffectActionGetRegionOfDefinition, &in, &out);
  region = RectDOf(out, kOfxImageEffectPropRegionOfDefinition);
  return status;
}

OfxStatus Instance::RegionsOfInterest(double time, double scale, const OfxRectD& asked, OfxRectD& source_region) {
  PropertySet in(false), out(false);
  in.DefineDoubles(kOfxPropTime, {time});
  in.DefineDoubles(kOfxImageEffectPropRenderScale, Pair(scale));
  in.DefineDoubles(kOfxImageEffectPropRegionOfInterest, Doubles(asked));
  const std::string name = std::string(kOfxImageClipPropRoIPrefix) + kOfxImageEffectSimpleSourceClipName;
  out.DefineDoubles(name, Doubles(asked));
  const OfxStatus status = Send(kOfxImageEffectActionGetRegionsOfInterest, &in, &out);
  source_region = RectDOf(out, name);
  return status;
}

OfxStatus Instance::IsIdentity(double time, double scale, const OfxRectI& window, std::string& clip) {
  PropertySet in(false), out(false);
  in.DefineDoubles(kOfxPropTime, {time});
  in.DefineStrings(kOfxImageEffectPropFieldToRender, {kOfxImageFieldNone});
  in.DefineInts(kOfxImageEffectPropRenderWindow, Ints(window));
  in.DefineDoubles(kOfxImageEffectPropRenderScale, Pair(scale));
  out.DefineStrings(kOfxPropName, {""});
  out.DefineDoubles(kOfxPropTime, {time});
  const OfxStatus status = Send(kOfxImageEffectActionIsIdentity, &in, &out);
  clip = status == kOfxStatOK ? out.String(kOfxPropName) : "";
  return status;
}

namespace {

PropertySet SequenceArgs(double first, double last, double scale) {
  PropertySet in(false);
  in.DefineDoubles(kOfxImageEffectPropFrameRange, {first, last});
  in.DefineDoubles(kOfxImageEffectPropFrameStep, {1.0});
  in.DefineInts("OfxPropIsInteractive", {0});
  in.DefineDoubles(kOfxImageEffectPropRenderScale, Pair(scale));
  in.DefineInts(kOfxImageEffectPropSequentialRenderStatus, {0});
  in.DefineInts(kOfxImageEffectPropInteractiveRenderStatus, {0});
  return in;
}

}  // namespace

OfxStatus Instance::BeginSequence(double first, double last, double scale) {
  PropertySet in = SequenceArgs(first, last, scale);
  return Send(kOfxImageEffectActionBeginSequenceRender, &in, nullptr);
}

OfxStatus Instance::EndSequence(double first, double last, double scale) {
  PropertySet in = SequenceArgs(first, last, scale);
  return Send(kOfxImageEffectActionEndSequenceRender, &in, nullptr);
}

OfxStatus Instance::Render(double time, const OfxRectI& window, double scale, HostImage& output) {
  PropertySet in(false);
  in.DefineDoubles(kOfxPropTime, {time});
  in.DefineStrings(kOfxImageEffectPropFieldToRender, {kOfxImageFieldNone});
  in.DefineInts(kOfxImageEffectPropRenderWindow, Ints(window));
  in.DefineDoubles(kOfxImageEffectPropRenderScale, Pair(scale));
  in.DefineInts(kOfxImageEffectPropSequentialRenderStatus, {0});
  in.DefineInts(kOfxImageEffectPropInteractiveRenderStatus, {0});
  SetThreadOutput(&output);
  const OfxStatus status = Send(kOfxImageEffectActionRender, &in, nullptr);
  SetThreadOutput(nullptr);
  return status;
}

OfxStatus Instance::GetImage(Clip& clip, double time, OfxPropertySetHandle* image) {
  if (clip.name == kOfxImageEffectOutputClipName) {
    HostImage* output = ThreadOutput();
    if (!output) {
      AddFault("the output image was fetched outside a render");
      return kOfxStatFailed;
    }
    *image = NewImageHandle(output->Properties(), this);
  } else {
    std::lock_guard<std::mutex> hold(frames_lock_);
    const auto found = frames_.find(time);
    if (found == frames_.end()) return kOfxStatFailed;
    *image = NewImageHandle(found->second.image->Properties(), this);
  }
  ++outstanding_images_;
  return kOfxStatOK;
}

OfxStatus Instance::SourceRegion(double time, OfxRectD& region) {
  std::lock_guard<std::mutex> hold(frames_lock_);
  const auto found = frames_.find(time);
  if (found == frames_.end()) {
    region = {0.0, 0.0, 0.0, 0.0};
    return kOfxStatFailed;
  }
  const OfxRectI& bounds = found->second.image->Shape().bounds;
  const double scale = found->second.scale;
  region = {bounds.x1 / scale, bounds.y1 / scale, bounds.x2 / scale, bounds.y2 / scale};
  return kOfxStatOK;
}

Host::Host(OfxPlugin& plugin, HostOptions options) : plugin_(plugin), options_(options), properties_(false) {
  properties_.DefineStrings(kOfxPropName, {"com.kestrow.ofx_test_host"});
  properties_.DefineStrings(kOfxPropLabel, {"Huewright test host"});
  properties_.DefineInts(kOfxPropAPIVersion, {1, 4});
  properties_.DefineStrings(kOfxImageEffectPropSupportedContexts,
                            {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral});
  properties_.DefineStrings(kOfxImageEffectPropSupportedPixelDepths,
                            {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat});
  properties_.DefineStrings(kOfxImageEffectPropSupportedComponents, {kOfxImageComponentRGBA});
  properties_.DefineInts(kOfxImageEffectPropSupportsTiles, {1});
  properties_.DefineInts(kOfxImageEffectPropSupportsMultipleClipDepths, {0});
  properties_.DefineInts(kOfxImageEffectPropSupportsMultiResolution, {1});
  ofx_host_ = {properties_.Handle(), FetchSuite};
  {
    std::lock_guard<std::mutex> hold(HostsLock());
    Hosts()[properties_.Handle()] = this;
  }
  SetCurrentHost(this);
  plugin_.setHost(&ofx_host_);
}

Host::~Host() {
  if (CurrentHost() == this) SetCurrentHost(nullptr);
  std::lock_guard<std::mutex> hold(HostsLock());
  Hosts().erase(properties_.Handle());
}

Host* Host::FromHandle(OfxPropertySetHandle handle) {
  std::lock_guard<std::mutex> hold(HostsLock());
  const auto found = Hosts().find(handle);
  return found == Hosts().end() ? nullptr : found->second;
}

OfxStatus Host::Send(const char* action, void* handle, PropertySet* in, PropertySet* out) {
  SetCurrentHost(this);
  return plugin_.mainEntry(action, handle, in ? in->Handle() : nullptr, out ? out->Handle() : nullptr);
}

OfxStatus Host::Load() { return Send(kOfxActionLoad, nullptr, nullptr, nullptr); }
OfxStatus Host::Unload() { return Send(kOfxActionUnload, nullptr, nullptr, nullptr); }

OfxStatus Host::Describe() {
  descriptor_ = std::make_unique<Effect>();
  descriptor_->properties.DefineStrings(kOfxPropType, {"OfxTypeImageEffect"});
  return Send(kOfxActionDescribe, descriptor_->Handle(), nullptr, nullptr);
}

OfxStatus Host::DescribeInContext(const std::string& context) {
  if (!descriptor_) throw std::logic_error("describe before describing in a context");
  auto effect = std::make_unique<Effect>();
  effect->properties = descriptor_->properties;
  PropertySet in(false);
  in.DefineStrings(kOfxImageEffectPropContext, {context});
  const OfxStatus status = Send(kOfxImageEffectActionDescribeInContext, effect->Handle(), &in, nullptr);
  contexts_[context] = std::move(effect);
  return status;
}

const Effect& Host::ContextDescriptor(const std::string& context) const { return *contexts_.at(context); }

std::unique_ptr<Instance> Host::NewInstance(const std::string& context) {
  return std::make_unique<Instance>(*this, ContextDescriptor(context), context);
}

std::vector<Message> Host::Messages() const {
  std::lock_guard<std::mutex> hold(messages_lock_);
  return messages_;
}

void Host::AddMessage(Message message) {
  std::lock_guard<std::mutex> hold(messages_lock_);
  messages_.push_back(std::move(message));
}

}  // namespace ofx_host
