// Host-internal: an ostream over a file descriptor whose every write is checked. The first failure
// (a full disk, a closed stdout) is kept and the stream stops writing; Finish reports it. Each
// write(2) and each flush to disk is a fault point of FaultScope.
#pragma once

#include <array>
#include <ostream>
#include <streambuf>
#include <string>

namespace nrw {

//! Writes the bytes whole, resuming after EINTR and short writes; answers 0 or the errno.
int WriteAll(int fd, const char* data, size_t size);

class FdWriter {
 public:
  explicit FdWriter(int fd);
  FdWriter(const FdWriter&) = delete;
  FdWriter& operator=(const FdWriter&) = delete;

  std::ostream& Stream() { return stream_; }
  //! Writes what is buffered and, with to_disk, flushes the file to the disk. Raises DetailedError
  //! "Não foi possível gravar <what>: <reason>." for the first failure of any write.
  void Finish(const std::string& what, bool to_disk);

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(int fd);
    int Error() const { return error_; }
    void SetError(int error) {
      if (error_ == 0) error_ = error;
    }
    int Drain();

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

   private:
    int fd_;
    int error_ = 0;
    std::array<char, 1 << 16> data_;
  };

  int fd_;
  Buffer buffer_;
  std::ostream stream_;
};

}  // namespace nrw
