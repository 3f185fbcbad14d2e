// Reads a fuzz input front to back. Past the end every read yields zero, so
// any prefix of an input is itself a valid, shorter input.
#ifndef HUEWRIGHT_FUZZ_BYTE_READER_H
#define HUEWRIGHT_FUZZ_BYTE_READER_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace fuzz {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Done() const { return position_ >= size_; }
  uint8_t Byte() { return Done() ? 0 : data_[position_++]; }
  bool Flag() { return (Byte() & 1) != 0; }
  int16_t I16() { return static_cast<int16_t>(Raw<uint16_t>()); }
  int32_t I32() { return static_cast<int32_t>(Raw<uint32_t>()); }
  double Double() { return Raw<double>(); }

  template <class T, std::size_t N>
  const T& Pick(const T (&table)[N]) {
    return table[Byte() % N];
  }

 private:
  // Little-endian, whatever the value's type; NaN bit patterns included.
  template <class T>
  T Raw() {
    uint8_t bytes[sizeof(T)];
    for (uint8_t& byte : bytes) byte = Byte();
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
  }

  const uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace fuzz

#endif
