#include "run/file_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/detailed_error.h"
#include "core/fault_points.h"
#include "run/sha256.h"
#include "util/system_error.h"

namespace nrw {

int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    if (FaultPoints::FailWrite()) return ENOSPC;
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return 0;
}

FdWriter::Buffer::Buffer(int fd, Sha256* hash) : fd_(fd), hash_(hash) {
  setp(data_.data(), data_.data() + data_.size());
}

int FdWriter::Buffer::Put(const char* data, size_t size) {
  const int error = WriteAll(fd_, data, size);
  if (error == 0) {
    bytes_ += size;
    if (hash_ != nullptr) hash_->Update(data, size);
  }
  return error;
}

int FdWriter::Buffer::Drain() {
  const size_t size = static_cast<size_t>(pptr() - pbase());
  setp(data_.data(), data_.data() + data_.size());
  if (error_ == 0 && size > 0) SetError(Put(data_.data(), size));
  return error_;
}

FdWriter::Buffer::int_type FdWriter::Buffer::overflow(int_type c) {
  if (Drain() != 0) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

std::streamsize FdWriter::Buffer::xsputn(const char* data, std::streamsize size) {
  if (error_ != 0) return 0;
  const auto room = epptr() - pptr();
  if (size <= room) {
    std::memcpy(pptr(), data, static_cast<size_t>(size));
    pbump(static_cast<int>(size));
    return size;
  }
  if (Drain() != 0) return 0;
  if (size < static_cast<std::streamsize>(data_.size())) {
    std::memcpy(pptr(), data, static_cast<size_t>(size));
    pbump(static_cast<int>(size));
    return size;
  }
  SetError(Put(data, static_cast<size_t>(size)));
  return error_ == 0 ? size : 0;
}

int FdWriter::Buffer::sync() { return Drain() == 0 ? 0 : -1; }

FdWriter::FdWriter(int fd, Sha256* hash) : fd_(fd), buffer_(fd, hash), stream_(&buffer_) {}

void FdWriter::Finish(const std::string& what, bool to_disk) {
  stream_.flush();
  int error = buffer_.Drain();
  if (error == 0 && to_disk) {
    // Some file systems report a failed write only when the data reaches the disk.
    if (FaultPoints::FailWrite()) {
      error = EIO;
    } else if (fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
      error = errno;
    }
  }
  if (error != 0) {
    throw DetailedError("Não foi possível gravar " + what + ": " + DescribeErrno(error) + ".",
                        std::strerror(error));
  }
}

}  // namespace nrw
