// Host-internal: reading a whole file the user named (a layout, a list). Only a regular file is
// read, and only up to a size that such a file may sanely have: the file is opened without
// blocking and checked on the open descriptor, so that a FIFO, a device or a link to /dev/zero
// never holds the run nor fills its memory.
#pragma once

#include <cstddef>
#include <string>

namespace nrw {

//! The file's content. Raises UsageError "<what> <path>: <why>." when it is missing, not a regular
//! file, unreadable or larger than max_bytes (the limit named in the message).
std::string ReadInputFile(const std::string& path, const std::string& what, size_t max_bytes);

//! A size as messages say it: "16 MB", "1,5 MB", "512 kB", "100 bytes".
std::string DescribeSize(size_t bytes);

}  // namespace nrw
