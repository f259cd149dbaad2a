// UsageError is raised by every stage that reads what the user gave (a layout, a database, a
// parameter, an output name), so it is defined with the error types at the bottom.
#include "core/detailed_error.h"
#include "nrwhost/files.h"

namespace nrw {

UsageError::UsageError(const std::string& message, std::string detail)
    : Exception(message), detail_(std::move(detail)) {}

UsageError::~UsageError() = default;

std::string ErrorDetail(const std::exception& error) {
  if (const auto* usage = dynamic_cast<const UsageError*>(&error)) return usage->Detail();
  if (const auto* detailed = dynamic_cast<const DetailedError*>(&error)) return detailed->Detail();
  return {};
}

}  // namespace nrw
