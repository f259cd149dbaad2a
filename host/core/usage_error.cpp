// UsageError is raised by every stage that reads what the user gave (a layout, a database, a
// parameter, an output name), so it is defined with the error types at the bottom.
#include "nrwhost/files.h"

namespace nrw {

UsageError::UsageError(const std::string& message, std::string detail)
    : Exception(message), detail_(std::move(detail)) {}

UsageError::~UsageError() = default;

}  // namespace nrw
