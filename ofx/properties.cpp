#include "properties.h"

#include "host_suites.h"
#include "ofx_error.h"

namespace huewright_ofx {

namespace {

void CheckProperty(OfxStatus status, const char* verb, const char* name) {
  if (status != kOfxStatOK)
    throw OfxError(status == kOfxStatErrMemory ? kOfxStatErrMemory : kOfxStatFailed,
                   std::string(verb) + " property " + name + " failed with status " + std::to_string(status));
}

// A suite with a member missing is as good as no suite.
template <class Function>
Function Member(Function function, const char* name) {
  if (!function) throw OfxError(kOfxStatErrMissingHostFeature, std::string("no property suite function for ") + name);
  return function;
}

}  // namespace

Properties::Properties(const OfxPropertySuiteV1& suite, OfxPropertySetHandle set) : suite_(suite), set_(set) {
  if (!set) throw OfxError(kOfxStatErrBadHandle, "the host gave a null property set");
}

int Properties::Int(const char* name, int index) const {
  int value = 0;
  CheckProperty(Member(suite_.propGetInt, name)(set_, name, index, &value), "reading", name);
  return value;
}

double Properties::Double(const char* name, int index) const {
  double value = 0.0;
  CheckProperty(Member(suite_.propGetDouble, name)(set_, name, index, &value), "reading", name);
  return value;
}

std::string Properties::String(const char* name, int index) const {
  char* value = nullptr;
  CheckProperty(Member(suite_.propGetString, name)(set_, name, index, &value), "reading", name);
  if (!value) throw OfxError(kOfxStatFailed, std::string("the host gave a null string for ") + name);
  return value;
}

void* Properties::Pointer(const char* name, int index) const {
  void* value = nullptr;
  CheckProperty(Member(suite_.propGetPointer, name)(set_, name, index, &value), "reading", name);
  return value;
}

OfxRectI Properties::RectI(const char* name) const { return {Int(name, 0), Int(name, 1), Int(name, 2), Int(name, 3)}; }

OfxRectD Properties::RectD(const char* name) const {
  return {Double(name, 0), Double(name, 1), Double(name, 2), Double(name, 3)};
}

OfxPointD Properties::PointD(const char* name) const { return {Double(name, 0), Double(name, 1)}; }

void Properties::SetInt(const char* name, int value, int index) const {
  CheckProperty(Member(suite_.propSetInt, name)(set_, name, index, value), "setting", name);
}

void Properties::SetDouble(const char* name, double value, int index) const {
  CheckProperty(Member(suite_.propSetDouble, name)(set_, name, index, value), "setting", name);
}

void Properties::SetString(const char* name, const char* value, int index) const {
  CheckProperty(Member(suite_.propSetString, name)(set_, name, index, value), "setting", name);
}

void Properties::SetPointer(const char* name, void* value, int index) const {
  CheckProperty(Member(suite_.propSetPointer, name)(set_, name, index, value), "setting", name);
}

void Properties::SetStrings(const char* name, std::initializer_list<const char*> values) const {
  int index = 0;
  for (const char* value : values) SetString(name, value, index++);
}

void Properties::SetInts(const char* name, std::initializer_list<int> values) const {
  int index = 0;
  for (int value : values) SetInt(name, value, index++);
}

void Properties::SetRectD(const char* name, const OfxRectD& rect) const {
  SetDouble(name, rect.x1, 0);
  SetDouble(name, rect.y1, 1);
  SetDouble(name, rect.x2, 2);
  SetDouble(name, rect.y2, 3);
}

Properties EffectProperties(OfxImageEffectHandle effect, const char* doing) {
  const HostSuites& suites = Suites();
  OfxPropertySetHandle set = nullptr;
  Check(suites.image_effect->getPropertySet(effect, &set), doing);
  return Properties(*suites.property, set);
}

}  // namespace huewright_ofx
