// The host's handle table: object references that cross the contract as 32-bit integers (the
// report of Imprimir, sibling parameters, dataset handles) are handles registered here, never
// addresses. An unknown handle resolves to nothing. The table is global state of the host: like
// every contract service it is used from the host's one thread, and takes no lock.
#pragma once

#include <cstdint>

#include "nrw/api.h"
#include "nrw/core.h"

namespace nrw {

class NRW_API HandleTable {
 public:
  //! Registers the object and answers its new handle (positive, never reused while registered).
  static int32_t Register(TObject& object);
  static void Unregister(int32_t handle);
  //! The object of a handle widened by sign extension; nullptr for any value not registered.
  static TObject* Resolve(int64_t widened);
};

//! Registers an object for the lifetime of the guard.
class NRW_API HandleRegistration {
 public:
  explicit HandleRegistration(TObject& object) : handle_(HandleTable::Register(object)) {}
  ~HandleRegistration() { HandleTable::Unregister(handle_); }
  HandleRegistration(const HandleRegistration&) = delete;
  HandleRegistration& operator=(const HandleRegistration&) = delete;
  int32_t handle() const { return handle_; }

 private:
  int32_t handle_;
};

//! Widens a 32-bit reference by sign extension and resolves it.
inline TObject* ResolveHandle(int32_t value) {
  return HandleTable::Resolve(static_cast<int64_t>(value));
}

}  // namespace nrw
