#include "call_log.h"

#include <algorithm>

namespace minihost {

void CallLog::Add(CallRecord record) {
  std::lock_guard<std::mutex> lock(mutex_);
  records_.push_back(std::move(record));
}

void CallLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  records_.clear();
}

std::vector<CallRecord> CallLog::All() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return records_;
}

std::vector<CallRecord> CallLog::Named(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<CallRecord> named;
  std::copy_if(records_.begin(), records_.end(), std::back_inserter(named),
               [&](const CallRecord& record) { return record.name == name; });
  return named;
}

std::size_t CallLog::Count(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<std::size_t>(std::count_if(records_.begin(), records_.end(),
                                                [&](const CallRecord& record) { return record.name == name; }));
}

std::vector<std::string> CallLog::Names() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> names;
  names.reserve(records_.size());
  for (const CallRecord& record : records_) names.push_back(record.name);
  return names;
}

std::size_t CallLog::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return records_.size();
}

}  // namespace minihost
