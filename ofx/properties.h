// One property set read and written through the host's property suite.
// Every failed call throws OfxError naming the property, so no caller acts
// on a value the host did not give.
#ifndef HUEWRIGHT_OFX_PROPERTIES_H
#define HUEWRIGHT_OFX_PROPERTIES_H

#include <initializer_list>
#include <string>

#include "api/ofx_core.h"
#include "api/ofx_image_effect.h"
#include "api/ofx_property.h"

namespace huewright_ofx {

class Properties {
 public:
  Properties(const OfxPropertySuiteV1& suite, OfxPropertySetHandle set);

  int Int(const char* name, int index = 0) const;
  double Double(const char* name, int index = 0) const;
  // A null string from the host is an error.
  std::string String(const char* name, int index = 0) const;
  void* Pointer(const char* name, int index = 0) const;
  OfxRectI RectI(const char* name) const;
  OfxRectD RectD(const char* name) const;
  OfxPointD PointD(const char* name) const;

  void SetInt(const char* name, int value, int index = 0) const;
  void SetDouble(const char* name, double value, int index = 0) const;
  void SetString(const char* name, const char* value, int index = 0) const;
  void SetPointer(const char* name, void* value, int index = 0) const;
  // Values 0..n-1 of a multi-dimensional property, one call each (hosts
  // differ in how they take the N forms).
  void SetStrings(const char* name, std::initializer_list<const char*> values) const;
  void SetInts(const char* name, std::initializer_list<int> values) const;
  void SetRectD(const char* name, const OfxRectD& rect) const;

 private:
  const OfxPropertySuiteV1& suite_;
  OfxPropertySetHandle set_;
};

// The property set of an effect descriptor or instance, through the host's
// image effect suite; `doing` names the step in the error a refusal raises.
Properties EffectProperties(OfxImageEffectHandle effect, const char* doing);

}  // namespace huewright_ofx

#endif
