// The general error type and the root object of every host class.
#pragma once

#include <stdexcept>
#include <string>

#include "nrw/api.h"

namespace nrw {

//! The one error type of the contract; the message is UTF-8 Portuguese text.
class NRW_API Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message);
  ~Exception() override;
};

//! Root of every host object: a virtual destructor and the class name. "Is it a TnrwReport or a
//! descendant" is a dynamic_cast; the key function lives in the host so that RTTI is shared.
class NRW_API TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();
  //! Unqualified class name of the dynamic type ("TnrwReport").
  virtual std::string ClassName() const;
};

}  // namespace nrw

namespace nrw {

//! The object as class T, or Exception "Conversão de tipo inválida" (a failed typed cast).
template <class T>
T& AsClass(TObject* object) {
  if (auto* typed = dynamic_cast<T*>(object)) return *typed;
  throw Exception("Conversão de tipo inválida");
}

}  // namespace nrw
