#include "suites.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace ofx_host {

namespace {

struct Registry {
  std::mutex lock;
  std::set<const void*> objects;
  std::vector<std::string> faults;
  std::atomic<Host*> current_host{nullptr};
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

thread_local HostImage* thread_output = nullptr;
thread_local bool spawned_thread = false;
thread_local unsigned thread_index = 0;

// An image handed to the plug-in: its own copy of the image's properties.
struct ImageHandle {
  PropertySet properties;
  Instance* owner;
};

PropertySet* LiveSet(OfxPropertySetHandle handle, const char* call) {
  if (!handle || !PropertySet::IsLive(handle)) {
    AddFault(std::string(call) + " with a property set the host never gave out");
    return nullptr;
  }
  return PropertySet::From(handle);
}

template <class Object, class Handle>
Object* Live(Handle handle, const char* call) {
  auto* object = reinterpret_cast<Object*>(handle);
  if (!object || !IsLiveObject(object)) {
    AddFault(std::string(call) + " with a handle the host never gave out");
    return nullptr;
  }
  return object;
}

// Property suite.
OfxStatus PropSetPointer(OfxPropertySetHandle set, const char* name, int index, void* value) {
  PropertySet* live = LiveSet(set, "propSetPointer");
  return live ? live->SetPointer(name, index, value) : kOfxStatErrBadHandle;
}
OfxStatus PropSetString(OfxPropertySetHandle set, const char* name, int index, const char* value) {
  PropertySet* live = LiveSet(set, "propSetString");
  return live ? live->SetString(name, index, value) : kOfxStatErrBadHandle;
}
OfxStatus PropSetDouble(OfxPropertySetHandle set, const char* name, int index, double value) {
  PropertySet* live = LiveSet(set, "propSetDouble");
  return live ? live->SetDouble(name, index, value) : kOfxStatErrBadHandle;
}
OfxStatus PropSetInt(OfxPropertySetHandle set, const char* name, int index, int value) {
  PropertySet* live = LiveSet(set, "propSetInt");
  return live ? live->SetInt(name, index, value) : kOfxStatErrBadHandle;
}
template <class T, OfxStatus (*kSet)(OfxPropertySetHandle, const char*, int, T)>
OfxStatus SetN(OfxPropertySetHandle set, const char* name, int count, const T* values) {
  if (count < 0 || (count > 0 && !values)) return kOfxStatErrValue;
  for (int index = 0; index < count; ++index)
    if (OfxStatus status = kSet(set, name, index, values[index])) return status;
  return kOfxStatOK;
}
OfxStatus PropSetPointerN(OfxPropertySetHandle set, const char* name, int count, void* const* values) {
  return SetN<void*, PropSetPointer>(set, name, count, values);
}
OfxStatus PropSetStringN(OfxPropertySetHandle set, const char* name, int count, const char* const* values) {
  return SetN<const char*, PropSetString>(set, name, count, values);
}
OfxStatus PropSetDoubleN(OfxPropertySetHandle set, const char* name, int count, const double* values) {
  return SetN<double, PropSetDouble>(set, name, count, values);
}
OfxStatus PropSetIntN(OfxPropertySetHandle set, const char* name, int count, const int* values) {
  return SetN<int, PropSetInt>(set, name, count, values);
}
OfxStatus PropGetPointer(OfxPropertySetHandle set, const char* name, int index, void** value) {
  PropertySet* live = LiveSet(set, "propGetPointer");
  return live ? live->GetPointer(name, index, value) : kOfxStatErrBadHandle;
}
OfxStatus PropGetString(OfxPropertySetHandle set, const char* name, int index, char** value) {
  PropertySet* live = LiveSet(set, "propGetString");
  return live ? live->GetString(name, index, value) : kOfxStatErrBadHandle;
}
OfxStatus PropGetDouble(OfxPropertySetHandle set, const char* name, int index, double* value) {
  PropertySet* live = LiveSet(set, "propGetDouble");
  return live ? live->GetDouble(name, index, value) : kOfxStatErrBadHandle;
}
OfxStatus PropGetInt(OfxPropertySetHandle set, const char* name, int index, int* value) {
  PropertySet* live = LiveSet(set, "propGetInt");
  return live ? live->GetInt(name, index, value) : kOfxStatErrBadHandle;
}
template <class T, OfxStatus (*kGet)(OfxPropertySetHandle, const char*, int, T*)>
OfxStatus GetN(OfxPropertySetHandle set, const char* name, int count, T* values) {
  if (count < 0 || (count > 0 && !values)) return kOfxStatErrValue;
  for (int index = 0; index < count; ++index)
    if (OfxStatus status = kGet(set, name, index, values + index)) return status;
  return kOfxStatOK;
}
OfxStatus PropGetPointerN(OfxPropertySetHandle set, const char* name, int count, void** values) {
  return GetN<void*, PropGetPointer>(set, name, count, values);
}
OfxStatus PropGetStringN(OfxPropertySetHandle set, const char* name, int count, char** values) {
  return GetN<char*, PropGetString>(set, name, count, values);
}
OfxStatus PropGetDoubleN(OfxPropertySetHandle set, const char* name, int count, double* values) {
  return GetN<double, PropGetDouble>(set, name, count, values);
}
OfxStatus PropGetIntN(OfxPropertySetHandle set, const char* name, int count, int* values) {
  return GetN<int, PropGetInt>(set, name, count, values);
}
OfxStatus PropReset(OfxPropertySetHandle set, const char* name) {
  PropertySet* live = LiveSet(set, "propReset");
  return live ? live->Reset(name) : kOfxStatErrBadHandle;
}
OfxStatus PropGetDimension(OfxPropertySetHandle set, const char* name, int* count) {
  PropertySet* live = LiveSet(set, "propGetDimension");
  return live ? live->Dimension(name, count) : kOfxStatErrBadHandle;
}

// Image effect suite.
OfxStatus GetPropertySet(OfxImageEffectHandle handle, OfxPropertySetHandle* properties) {
  Effect* effect = Live<Effect>(handle, "getPropertySet");
  if (!effect || !properties) return kOfxStatErrBadHandle;
  *properties = effect->properties.Handle();
  return kOfxStatOK;
}
OfxStatus GetParamSet(OfxImageEffectHandle handle, OfxParamSetHandle* params) {
  Effect* effect = Live<Effect>(handle, "getParamSet");
  if (!effect || !params) return kOfxStatErrBadHandle;
  *params = reinterpret_cast<OfxParamSetHandle>(effect);
  return kOfxStatOK;
}
OfxStatus ClipDefine(OfxImageEffectHandle handle, const char* name, OfxPropertySetHandle* properties) {
  Effect* effect = Live<Effect>(handle, "clipDefine");
  if (!effect || !name) return kOfxStatErrBadHandle;
  auto& clip = effect->clips[name];
  if (!clip) {
    clip = std::make_unique<Clip>();
    clip->name = name;
    clip->properties.DefineStrings(kOfxPropName, {name});
    clip->properties.DefineStrings(kOfxPropType, {"OfxTypeClip"});
    RegisterObject(clip.get());
  }
  if (properties) *properties = clip->properties.Handle();
  return kOfxStatOK;
}
OfxStatus ClipGetHandle(OfxImageEffectHandle handle, const char* name, OfxImageClipHandle* clip,
                        OfxPropertySetHandle* properties) {
  Effect* effect = Live<Effect>(handle, "clipGetHandle");
  if (!effect || !name || !clip) return kOfxStatErrBadHandle;
  const auto found = effect->clips.find(name);
  if (found == effect->clips.end() || !found->second->owner) return kOfxStatErrUnknown;
  *clip = reinterpret_cast<OfxImageClipHandle>(found->second.get());
  if (properties) *properties = found->second->properties.Handle();
  return kOfxStatOK;
}
OfxStatus ClipGetPropertySet(OfxImageClipHandle handle, OfxPropertySetHandle* properties) {
  Clip* clip = Live<Clip>(handle, "clipGetPropertySet");
  if (!clip || !properties) return kOfxStatErrBadHandle;
  *properties = clip->properties.Handle();
  return kOfxStatOK;
}
OfxStatus ClipGetImage(OfxImageClipHandle handle, OfxTime time, const OfxRectD*, OfxPropertySetHandle* image) {
  Clip* clip = Live<Clip>(handle, "clipGetImage");
  if (!clip || !clip->owner || !image) return kOfxStatErrBadHandle;
  return clip->owner->GetImage(*clip, time, image);
}
OfxStatus ClipReleaseImage(OfxPropertySetHandle handle) {
  std::unique_ptr<ImageHandle> image;
  {
    std::lock_guard<std::mutex> hold(TheRegistry().lock);
    auto* candidate = reinterpret_cast<ImageHandle*>(handle);
    if (!TheRegistry().objects.erase(candidate)) {
      TheRegistry().faults.push_back("clipReleaseImage of an image the host never gave out");
      return kOfxStatErrBadHandle;
    }
    image.reset(candidate);
  }
  image->owner->ImageReleased();
  return kOfxStatOK;
}
OfxStatus ClipGetRegionOfDefinition(OfxImageClipHandle handle, OfxTime time, OfxRectD* bounds) {
  Clip* clip = Live<Clip>(handle, "clipGetRegionOfDefinition");
  if (!clip || !clip->owner || !bounds) return kOfxStatErrBadHandle;
  return clip->owner->SourceRegion(time, *bounds);
}
int Abort(OfxImageEffectHandle) { return 0; }
OfxStatus ImageMemoryAlloc(OfxImageEffectHandle, std::size_t, OfxImageMemoryHandle*) {
  return kOfxStatErrUnsupported;
}
OfxStatus ImageMemoryFree(OfxImageMemoryHandle) { return kOfxStatErrUnsupported; }
OfxStatus ImageMemoryLock(OfxImageMemoryHandle, void**) { return kOfxStatErrUnsupported; }
OfxStatus ImageMemoryUnlock(OfxImageMemoryHandle) { return kOfxStatErrUnsupported; }

// Parameter suite.
OfxStatus ParamDefine(OfxParamSetHandle set, const char* type, const char* name, OfxPropertySetHandle* properties) {
  Effect* effect = Live<Effect>(set, "paramDefine");
  if (!effect || !type || !name) return kOfxStatErrBadHandle;
  const std::string kind = type;
  if (kind != kOfxParamTypeBoolean && kind != kOfxParamTypeDouble) return kOfxStatErrUnsupported;
  auto& param = effect->params[name];
  if (param) return kOfxStatErrExists;
  param = std::make_unique<Param>();
  param->type = kind;
  param->properties.DefineStrings(kOfxParamPropType, {kind});
  param->properties.DefineStrings(kOfxPropName, {name});
  param->properties.DefineStrings(kOfxPropLabel, {name});
  effect->param_order.push_back(name);
  RegisterObject(param.get());
  if (properties) *properties = param->properties.Handle();
  return kOfxStatOK;
}
OfxStatus ParamGetHandle(OfxParamSetHandle set, const char* name, OfxParamHandle* param,
                         OfxPropertySetHandle* properties) {
  Effect* effect = Live<Effect>(set, "paramGetHandle");
  if (!effect || !name || !param) return kOfxStatErrBadHandle;
  const auto found = effect->params.find(name);
  if (found == effect->params.end()) return kOfxStatErrUnknown;
  *param = reinterpret_cast<OfxParamHandle>(found->second.get());
  if (properties) *properties = found->second->properties.Handle();
  return kOfxStatOK;
}
OfxStatus ParamSetGetPropertySet(OfxParamSetHandle set, OfxPropertySetHandle* properties) {
  Effect* effect = Live<Effect>(set, "paramSetGetPropertySet");
  if (!effect || !properties) return kOfxStatErrBadHandle;
  *properties = effect->properties.Handle();
  return kOfxStatOK;
}
OfxStatus ParamGetPropertySet(OfxParamHandle handle, OfxPropertySetHandle* properties) {
  Param* param = Live<Param>(handle, "paramGetPropertySet");
  if (!param || !properties) return kOfxStatErrBadHandle;
  *properties = param->properties.Handle();
  return kOfxStatOK;
}
OfxStatus WriteValue(Param* param, va_list values) {
  if (param->type == kOfxParamTypeBoolean) {
    *va_arg(values, int*) = param->boolean;
    return kOfxStatOK;
  }
  *va_arg(values, double*) = param->number;
  return kOfxStatOK;
}
OfxStatus ParamGetValue(OfxParamHandle handle, ...) {
  Param* param = Live<Param>(handle, "paramGetValue");
  if (!param) return kOfxStatErrBadHandle;
  va_list values;
  va_start(values, handle);
  const OfxStatus status = WriteValue(param, values);
  va_end(values);
  return status;
}
OfxStatus ParamGetValueAtTime(OfxParamHandle handle, OfxTime time, ...) {
  Param* param = Live<Param>(handle, "paramGetValueAtTime");
  if (!param) return kOfxStatErrBadHandle;
  va_list values;
  va_start(values, time);
  const OfxStatus status = WriteValue(param, values);
  va_end(values);
  return status;
}
OfxStatus Unsupported3(OfxParamHandle, OfxTime, ...) { return kOfxStatErrUnsupported; }
OfxStatus Unsupported4(OfxParamHandle, OfxTime, OfxTime, ...) { return kOfxStatErrUnsupported; }
OfxStatus UnsupportedSet(OfxParamHandle, ...) { return kOfxStatErrUnsupported; }
OfxStatus UnsupportedKeys(OfxParamHandle, unsigned int*) { return kOfxStatErrUnsupported; }
OfxStatus UnsupportedKeyTime(OfxParamHandle, unsigned int, OfxTime*) { return kOfxStatErrUnsupported; }
OfxStatus UnsupportedKeyIndex(OfxParamHandle, OfxTime, int, int*) { return kOfxStatErrUnsupported; }
OfxStatus UnsupportedDeleteKey(OfxParamHandle, OfxTime) { return kOfxStatErrUnsupported; }
OfxStatus UnsupportedDeleteAll(OfxParamHandle) { return kOfxStatErrUnsupported; }
OfxStatus UnsupportedCopy(OfxParamHandle, OfxParamHandle, OfxTime, const OfxRangeD*) {
  return kOfxStatErrUnsupported;
}
OfxStatus UnsupportedEditBegin(OfxParamSetHandle, const char*) { return kOfxStatErrUnsupported; }
OfxStatus UnsupportedEditEnd(OfxParamSetHandle) { return kOfxStatErrUnsupported; }

// Multithread suite: real threads, one per call index.
OfxStatus MultiThread(OfxThreadFunctionV1 function, unsigned int count, void* argument) {
  if (!function) return kOfxStatErrBadHandle;
  if (spawned_thread) return kOfxStatErrExists;
  if (count > 256) return kOfxStatFailed;
  if (Host* host = CurrentHost()) host->CountMultiThreadCall();
  std::vector<std::thread> threads;
  for (unsigned index = 0; index < count; ++index)
    threads.emplace_back([=] {
      spawned_thread = true;
      thread_index = index;
      function(index, count, argument);
    });
  for (std::thread& thread : threads) thread.join();
  return kOfxStatOK;
}
OfxStatus MultiThreadNumCPUs(unsigned int* cpus) {
  if (!cpus) return kOfxStatErrBadHandle;
  Host* host = CurrentHost();
  *cpus = host ? host->Options().cpus : 1;
  return kOfxStatOK;
}
OfxStatus MultiThreadIndex(unsigned int* index) {
  if (!index) return kOfxStatErrBadHandle;
  *index = spawned_thread ? thread_index : 0;
  return kOfxStatOK;
}
int MultiThreadIsSpawnedThread() { return spawned_thread ? 1 : 0; }
OfxStatus MutexCreate(OfxMutexHandle* mutex, int) {
  if (!mutex) return kOfxStatErrBadHandle;
  auto* created = new std::recursive_mutex;
  RegisterObject(created);
  *mutex = reinterpret_cast<OfxMutexHandle>(created);
  return kOfxStatOK;
}
OfxStatus MutexDestroy(OfxMutexHandle mutex) {
  auto* live = Live<std::recursive_mutex>(mutex, "mutexDestroy");
  if (!live) return kOfxStatErrBadHandle;
  UnregisterObject(live);
  delete live;
  return kOfxStatOK;
}
OfxStatus MutexLock(OfxMutexHandle mutex) {
  auto* live = Live<std::recursive_mutex>(mutex, "mutexLock");
  if (!live) return kOfxStatErrBadHandle;
  live->lock();
  return kOfxStatOK;
}
OfxStatus MutexUnLock(OfxMutexHandle mutex) {
  auto* live = Live<std::recursive_mutex>(mutex, "mutexUnLock");
  if (!live) return kOfxStatErrBadHandle;
  live->unlock();
  return kOfxStatOK;
}
OfxStatus MutexTryLock(OfxMutexHandle mutex) {
  auto* live = Live<std::recursive_mutex>(mutex, "mutexTryLock");
  if (!live) return kOfxStatErrBadHandle;
  return live->try_lock() ? kOfxStatOK : kOfxStatFailed;
}

// Message suite.
OfxStatus PostMessage(void*, const char* type, const char* id, const char* format, ...) {
  if (!format) return kOfxStatErrValue;
  char text[1024];
  va_list values;
  va_start(values, format);
  std::vsnprintf(text, sizeof text, format, values);
  va_end(values);
  if (Host* host = CurrentHost()) host->AddMessage({type ? type : "", id ? id : "", text});
  return kOfxStatOK;
}

}  // namespace

void RegisterObject(const void* object) {
  std::lock_guard<std::mutex> hold(TheRegistry().lock);
  TheRegistry().objects.insert(object);
}

void UnregisterObject(const void* object) {
  std::lock_guard<std::mutex> hold(TheRegistry().lock);
  TheRegistry().objects.erase(object);
}

bool IsLiveObject(const void* object) {
  std::lock_guard<std::mutex> hold(TheRegistry().lock);
  return TheRegistry().objects.count(object) != 0;
}

void SetCurrentHost(Host* host) { TheRegistry().current_host = host; }
Host* CurrentHost() { return TheRegistry().current_host; }
void SetThreadOutput(HostImage* image) { thread_output = image; }
HostImage* ThreadOutput() { return thread_output; }

void AddFault(const std::string& fault) {
  std::lock_guard<std::mutex> hold(TheRegistry().lock);
  TheRegistry().faults.push_back(fault);
}

std::vector<std::string> TakeFaults() {
  std::lock_guard<std::mutex> hold(TheRegistry().lock);
  std::vector<std::string> faults;
  faults.swap(TheRegistry().faults);
  return faults;
}

// Used by Instance::GetImage: a new handle per call, as hosts give.
OfxPropertySetHandle NewImageHandle(const PropertySet& properties, Instance* owner) {
  auto* image = new ImageHandle{properties, owner};
  RegisterObject(image);
  return image->properties.Handle();
}

const OfxPropertySuiteV1& PropertySuite() {
  static const OfxPropertySuiteV1 suite = {
      PropSetPointer,  PropSetString,  PropSetDouble,  PropSetInt,     PropSetPointerN, PropSetStringN,
      PropSetDoubleN,  PropSetIntN,    PropGetPointer, PropGetString,  PropGetDouble,   PropGetInt,
      PropGetPointerN, PropGetStringN, PropGetDoubleN, PropGetIntN,    PropReset,       PropGetDimension};
  return suite;
}

const OfxImageEffectSuiteV1& ImageEffectSuite() {
  static const OfxImageEffectSuiteV1 suite = {GetPropertySet,   GetParamSet,       ClipDefine,
                                              ClipGetHandle,    ClipGetPropertySet, ClipGetImage,
                                              ClipReleaseImage, ClipGetRegionOfDefinition,
                                              Abort,            ImageMemoryAlloc,  ImageMemoryFree,
                                              ImageMemoryLock,  ImageMemoryUnlock};
  return suite;
}

const OfxParameterSuiteV1& ParameterSuite() {
  static const OfxParameterSuiteV1 suite = {
      ParamDefine,      ParamGetHandle,      ParamSetGetPropertySet, ParamGetPropertySet,  ParamGetValue,
      ParamGetValueAtTime, Unsupported3,     Unsupported4,           UnsupportedSet,       Unsupported3,
      UnsupportedKeys,  UnsupportedKeyTime,  UnsupportedKeyIndex,    UnsupportedDeleteKey, UnsupportedDeleteAll,
      UnsupportedCopy,  UnsupportedEditBegin, UnsupportedEditEnd};
  return suite;
}

const OfxMultiThreadSuiteV1& MultiThreadSuite() {
  static const OfxMultiThreadSuiteV1 suite = {MultiThread, MultiThreadNumCPUs, MultiThreadIndex,
                                              MultiThreadIsSpawnedThread, MutexCreate, MutexDestroy,
                                              MutexLock, MutexUnLock, MutexTryLock};
  return suite;
}

const OfxMessageSuiteV1& MessageSuite() {
  static const OfxMessageSuiteV1 suite = {PostMessage};
  return suite;
}

}  // namespace ofx_host
