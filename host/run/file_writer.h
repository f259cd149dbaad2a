// Host-internal: an ostream over a file descriptor whose every write is checked. The first failure
// (a full disk, a closed stdout) is kept and the stream stops writing; Finish reports it. Each
// write(2) and each flush to disk is a fault point of FaultScope.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

namespace nrw {

//! Writes the bytes whole, resuming after EINTR and short writes; answers 0 or the errno.
int WriteAll(int fd, const char* data, size_t size);

class Sha256;

class FdWriter {
 public:
  //! hash, when given, sees every byte written.
  explicit FdWriter(int fd, Sha256* hash = nullptr);
  FdWriter(const FdWriter&) = delete;
  FdWriter& operator=(const FdWriter&) = delete;

  std::ostream& Stream() { return stream_; }
  //! Writes what is buffered and, with to_disk, flushes the file to the disk. Raises DetailedError
  //! "Não foi possível gravar <what>: <reason>." for the first failure of any write.
  void Finish(const std::string& what, bool to_disk);
  //! Bytes written so far.
  uint64_t Bytes() const { return buffer_.Bytes(); }

 private:
  class Buffer : public std::streambuf {
   public:
    Buffer(int fd, Sha256* hash);
    int Error() const { return error_; }
    uint64_t Bytes() const { return bytes_; }
    void SetError(int error) {
      if (error_ == 0) error_ = error;
    }
    int Drain();

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

   private:
    //! Writes the bytes whole, counted and hashed.
    int Put(const char* data, size_t size);

    int fd_;
    Sha256* hash_;
    uint64_t bytes_ = 0;
    int error_ = 0;
    std::array<char, 1 << 16> data_;
  };

  int fd_;
  Buffer buffer_;
  std::ostream stream_;
};

}  // namespace nrw
