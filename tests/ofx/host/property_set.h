// A property set as a host keeps it: named properties of one type each
// (int, double, string or pointer) holding any number of values. Strict
// where hosts are strict: a value of the wrong type, an index past the end
// or (in a closed set) a name the host never defined is an error status,
// never a guess.
#ifndef HUEWRIGHT_TESTS_OFX_HOST_PROPERTY_SET_H
#define HUEWRIGHT_TESTS_OFX_HOST_PROPERTY_SET_H

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "api/ofx_core.h"

namespace ofx_host {

enum class PropertyType { kInt, kDouble, kString, kPointer };

struct Property {
  PropertyType type = PropertyType::kInt;
  std::vector<int> ints;
  std::vector<double> doubles;
  std::vector<std::string> strings;
  std::vector<void*> pointers;
  int Dimension() const;
};

class PropertySet {
 public:
  // An open set (descriptors, action results) takes new names from the
  // plug-in; a closed one (images, action arguments) refuses them.
  explicit PropertySet(bool open = true);
  PropertySet(const PropertySet& other);
  PropertySet& operator=(const PropertySet& other);
  ~PropertySet();

  // Whether handle names a property set alive in this process.
  static bool IsLive(OfxPropertySetHandle handle);

  OfxPropertySetHandle Handle() { return reinterpret_cast<OfxPropertySetHandle>(this); }
  static PropertySet* From(OfxPropertySetHandle handle) { return reinterpret_cast<PropertySet*>(handle); }

  // The host's own writes: define or replace a whole property.
  void DefineInts(const std::string& name, std::vector<int> values);
  void DefineDoubles(const std::string& name, std::vector<double> values);
  void DefineStrings(const std::string& name, std::vector<std::string> values);
  void DefinePointer(const std::string& name, void* value);

  // What the plug-in reaches through the suite.
  OfxStatus SetInt(const char* name, int index, int value);
  OfxStatus SetDouble(const char* name, int index, double value);
  OfxStatus SetString(const char* name, int index, const char* value);
  OfxStatus SetPointer(const char* name, int index, void* value);
  OfxStatus GetInt(const char* name, int index, int* value) const;
  OfxStatus GetDouble(const char* name, int index, double* value) const;
  OfxStatus GetString(const char* name, int index, char** value) const;
  OfxStatus GetPointer(const char* name, int index, void** value) const;
  OfxStatus Reset(const char* name);
  OfxStatus Dimension(const char* name, int* count) const;

  // The host reading back: the value, or the fallback when absent or of
  // another type.
  bool Has(const std::string& name) const;
  int Int(const std::string& name, int index = 0, int fallback = 0) const;
  double Double(const std::string& name, int index = 0, double fallback = 0.0) const;
  std::string String(const std::string& name, int index = 0, const std::string& fallback = "") const;
  void* Pointer(const std::string& name, int index = 0) const;
  std::vector<std::string> Strings(const std::string& name) const;
  int DimensionOf(const std::string& name) const;

 private:
  template <class T>
  OfxStatus Set(const char* name, int index, PropertyType type, std::vector<T> Property::*values, T value);
  template <class T>
  OfxStatus Get(const char* name, int index, PropertyType type, std::vector<T> Property::*values, T* value) const;

  bool open_;
  mutable std::mutex lock_;
  std::map<std::string, Property> properties_;
};

}  // namespace ofx_host

#endif
