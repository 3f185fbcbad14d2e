#include "property_set.h"

#include <set>

namespace ofx_host {

namespace {

struct LiveSets {
  std::mutex lock;
  std::set<const void*> sets;
};

LiveSets& Live() {
  static LiveSets live;
  return live;
}

void Register(const void* set) {
  std::lock_guard<std::mutex> hold(Live().lock);
  Live().sets.insert(set);
}

void Unregister(const void* set) {
  std::lock_guard<std::mutex> hold(Live().lock);
  Live().sets.erase(set);
}

}  // namespace

PropertySet::PropertySet(bool open) : open_(open) { Register(this); }

PropertySet::~PropertySet() { Unregister(this); }

bool PropertySet::IsLive(OfxPropertySetHandle handle) {
  std::lock_guard<std::mutex> hold(Live().lock);
  return Live().sets.count(handle) != 0;
}

int Property::Dimension() const {
  switch (type) {
    case PropertyType::kInt:
      return static_cast<int>(ints.size());
    case PropertyType::kDouble:
      return static_cast<int>(doubles.size());
    case PropertyType::kString:
      return static_cast<int>(strings.size());
    case PropertyType::kPointer:
      return static_cast<int>(pointers.size());
  }
  return 0;
}

PropertySet::PropertySet(const PropertySet& other) : open_(other.open_) {
  {
    std::lock_guard<std::mutex> hold(other.lock_);
    properties_ = other.properties_;
  }
  Register(this);
}

PropertySet& PropertySet::operator=(const PropertySet& other) {
  if (this == &other) return *this;
  std::map<std::string, Property> copy;
  {
    std::lock_guard<std::mutex> hold(other.lock_);
    copy = other.properties_;
  }
  std::lock_guard<std::mutex> hold(lock_);
  open_ = other.open_;
  properties_ = std::move(copy);
  return *this;
}

void PropertySet::DefineInts(const std::string& name, std::vector<int> values) {
  std::lock_guard<std::mutex> hold(lock_);
  Property& property = properties_[name] = Property{};
  property.type = PropertyType::kInt;
  property.ints = std::move(values);
}

void PropertySet::DefineDoubles(const std::string& name, std::vector<double> values) {
  std::lock_guard<std::mutex> hold(lock_);
  Property& property = properties_[name] = Property{};
  property.type = PropertyType::kDouble;
  property.doubles = std::move(values);
}

void PropertySet::DefineStrings(const std::string& name, std::vector<std::string> values) {
  std::lock_guard<std::mutex> hold(lock_);
  Property& property = properties_[name] = Property{};
  property.type = PropertyType::kString;
  property.strings = std::move(values);
}

void PropertySet::DefinePointer(const std::string& name, void* value) {
  std::lock_guard<std::mutex> hold(lock_);
  Property& property = properties_[name] = Property{};
  property.type = PropertyType::kPointer;
  property.pointers = {value};
}

// Setting index n of a property with fewer values grows it, as hosts let
// plug-ins fill N-dimensional properties one index at a time.
template <class T>
OfxStatus PropertySet::Set(const char* name, int index, PropertyType type, std::vector<T> Property::*values,
                           T value) {
  if (!name) return kOfxStatErrUnknown;
  if (index < 0 || index > 1024) return kOfxStatErrBadIndex;
  std::lock_guard<std::mutex> hold(lock_);
  auto found = properties_.find(name);
  if (found == properties_.end()) {
    if (!open_) return kOfxStatErrUnknown;
    found = properties_.emplace(name, Property{}).first;
    found->second.type = type;
  }
  Property& property = found->second;
  if (property.type != type) return kOfxStatErrValue;
  std::vector<T>& list = property.*values;
  if (static_cast<std::size_t>(index) >= list.size()) list.resize(static_cast<std::size_t>(index) + 1);
  list[static_cast<std::size_t>(index)] = std::move(value);
  return kOfxStatOK;
}

template <class T>
OfxStatus PropertySet::Get(const char* name, int index, PropertyType type, std::vector<T> Property::*values,
                           T* value) const {
  if (!name || !value) return kOfxStatErrUnknown;
  std::lock_guard<std::mutex> hold(lock_);
  const auto found = properties_.find(name);
  if (found == properties_.end()) return kOfxStatErrUnknown;
  if (found->second.type != type) return kOfxStatErrValue;
  const std::vector<T>& list = found->second.*values;
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return kOfxStatErrBadIndex;
  *value = list[static_cast<std::size_t>(index)];
  return kOfxStatOK;
}

OfxStatus PropertySet::SetInt(const char* name, int index, int value) {
  return Set(name, index, PropertyType::kInt, &Property::ints, value);
}
OfxStatus PropertySet::SetDouble(const char* name, int index, double value) {
  return Set(name, index, PropertyType::kDouble, &Property::doubles, value);
}
OfxStatus PropertySet::SetString(const char* name, int index, const char* value) {
  if (!value) return kOfxStatErrValue;
  return Set(name, index, PropertyType::kString, &Property::strings, std::string(value));
}
OfxStatus PropertySet::SetPointer(const char* name, int index, void* value) {
  return Set(name, index, PropertyType::kPointer, &Property::pointers, value);
}
OfxStatus PropertySet::GetInt(const char* name, int index, int* value) const {
  return Get(name, index, PropertyType::kInt, &Property::ints, value);
}
OfxStatus PropertySet::GetDouble(const char* name, int index, double* value) const {
  return Get(name, index, PropertyType::kDouble, &Property::doubles, value);
}
OfxStatus PropertySet::GetPointer(const char* name, int index, void** value) const {
  return Get(name, index, PropertyType::kPointer, &Property::pointers, value);
}

// The string stays where it is until the property changes, as hosts keep
// theirs.
OfxStatus PropertySet::GetString(const char* name, int index, char** value) const {
  if (!name || !value) return kOfxStatErrUnknown;
  std::lock_guard<std::mutex> hold(lock_);
  const auto found = properties_.find(name);
  if (found == properties_.end()) return kOfxStatErrUnknown;
  if (found->second.type != PropertyType::kString) return kOfxStatErrValue;
  const auto& list = found->second.strings;
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return kOfxStatErrBadIndex;
  *value = const_cast<char*>(list[static_cast<std::size_t>(index)].c_str());
  return kOfxStatOK;
}

OfxStatus PropertySet::Reset(const char* name) {
  if (!name) return kOfxStatErrUnknown;
  std::lock_guard<std::mutex> hold(lock_);
  return properties_.count(name) ? kOfxStatOK : kOfxStatErrUnknown;
}

OfxStatus PropertySet::Dimension(const char* name, int* count) const {
  if (!name || !count) return kOfxStatErrUnknown;
  std::lock_guard<std::mutex> hold(lock_);
  const auto found = properties_.find(name);
  if (found == properties_.end()) return kOfxStatErrUnknown;
  *count = found->second.Dimension();
  return kOfxStatOK;
}

bool PropertySet::Has(const std::string& name) const {
  std::lock_guard<std::mutex> hold(lock_);
  return properties_.count(name) != 0;
}

int PropertySet::Int(const std::string& name, int index, int fallback) const {
  int value = fallback;
  return GetInt(name.c_str(), index, &value) == kOfxStatOK ? value : fallback;
}

double PropertySet::Double(const std::string& name, int index, double fallback) const {
  double value = fallback;
  return GetDouble(name.c_str(), index, &value) == kOfxStatOK ? value : fallback;
}

std::string PropertySet::String(const std::string& name, int index, const std::string& fallback) const {
  char* value = nullptr;
  return GetString(name.c_str(), index, &value) == kOfxStatOK ? std::string(value) : fallback;
}

void* PropertySet::Pointer(const std::string& name, int index) const {
  void* value = nullptr;
  return GetPointer(name.c_str(), index, &value) == kOfxStatOK ? value : nullptr;
}

std::vector<std::string> PropertySet::Strings(const std::string& name) const {
  std::lock_guard<std::mutex> hold(lock_);
  const auto found = properties_.find(name);
  if (found == properties_.end() || found->second.type != PropertyType::kString) return {};
  return found->second.strings;
}

int PropertySet::DimensionOf(const std::string& name) const {
  int count = 0;
  return Dimension(name.c_str(), &count) == kOfxStatOK ? count : 0;
}

}  // namespace ofx_host
