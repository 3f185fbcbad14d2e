#include "recording_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "tool_error.h"

namespace huewright {

bool WritesThroughProxy(const OIIO::ImageOutput& out) {
  const std::string_view format = out.format_name();
  for (std::string_view checked : {"png", "jpeg", "openexr", "dpx", "bmp", "targa", "pnm", "hdr", "webp"})
    if (format == checked) return out.supports("ioproxy") != 0;
  return false;
}

namespace {

// "no space left on device", in the case of the tool's other messages.
std::string SystemReason(int error_number) {
  std::string reason = std::strerror(error_number);
  if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
  return reason;
}

}  // namespace

RecordingOutput::RecordingOutput(const std::string& path, const std::string& subject)
    : IOProxy(path, Write), subject_(subject) {
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) throw ToolError(subject_, "cannot create the file: " + SystemReason(errno));
}

RecordingOutput::~RecordingOutput() {
  if (fd_ >= 0) ::close(fd_);
}

void RecordingOutput::Record(int error_number) {
  if (failure_ == 0) failure_ = error_number != 0 ? error_number : EIO;
}

void RecordingOutput::close() {
  if (fd_ < 0) return;
  if (::close(fd_) != 0) Record(errno);
  fd_ = -1;
  m_mode = Closed;
}

bool RecordingOutput::seek(int64_t offset) {
  if (offset < 0) return false;
  m_pos = offset;
  return true;
}

size_t RecordingOutput::read(void* buf, size_t size) {
  const size_t got = pread(buf, size, m_pos);
  m_pos += static_cast<int64_t>(got);
  return got;
}

size_t RecordingOutput::pread(void* buf, size_t size, int64_t offset) {
  if (fd_ < 0 || offset < 0) return 0;
  const ssize_t got = ::pread(fd_, buf, size, offset);
  return got > 0 ? static_cast<size_t>(got) : 0;
}

size_t RecordingOutput::write(const void* buf, size_t size) {
  pwrite(buf, size, m_pos);
  m_pos += static_cast<int64_t>(size);
  return size;
}

// Always reports the whole block written: the failure is kept for Finish().
size_t RecordingOutput::pwrite(const void* buf, size_t size, int64_t offset) {
  if (fd_ < 0 || offset < 0) {
    Record(EBADF);
    return size;
  }
  const char* bytes = static_cast<const char*>(buf);
  size_t done = 0;
  while (failure_ == 0 && done < size) {
    const ssize_t put = ::pwrite(fd_, bytes + done, size - done, offset + static_cast<int64_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      Record(put < 0 ? errno : ENOSPC);
      break;
    }
    done += static_cast<size_t>(put);
  }
  return size;
}

size_t RecordingOutput::size() const {
  struct stat status;
  if (fd_ < 0 || fstat(fd_, &status) != 0 || status.st_size < 0) return 0;
  return static_cast<size_t>(status.st_size);
}

void RecordingOutput::AttachTo(OIIO::ImageSpec& image_spec) {
  OIIO::Filesystem::IOProxy* self = this;
  image_spec.attribute("oiio:ioproxy", OIIO::TypeDesc::PTR, &self);
}

void RecordingOutput::Finish() {
  close();
  if (failure_ != 0) throw ToolError(subject_, "cannot write: " + SystemReason(failure_));
}

}  // namespace huewright
