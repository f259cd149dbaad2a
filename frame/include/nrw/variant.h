// Variant: the one small value type of the contract (SQL parameter values, field values,
// PegarValorCampo results): null, integer, float, text, date or an array of variants.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "nrw/api.h"
#include "nrw/datetime.h"

namespace nrw {

class NRW_API Variant {
 public:
  enum class Kind { Null, Integer, Float, Text, Date, Array };

  Variant() = default;
  Variant(std::nullptr_t) {}
  Variant(int v) : v_(static_cast<int64_t>(v)) {}
  Variant(long v) : v_(static_cast<int64_t>(v)) {}
  Variant(long long v) : v_(static_cast<int64_t>(v)) {}
  Variant(double v) : v_(v) {}
  Variant(const char* v) : v_(std::string(v)) {}
  Variant(std::string v) : v_(std::move(v)) {}
  Variant(TDateTime v) : v_(v) {}
  Variant(std::vector<Variant> v) : v_(std::move(v)) {}
  Variant(bool) = delete;  // no boolean variants in the contract: say 0 or 1

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool IsNull() const { return kind() == Kind::Null; }

  //! Conversions raise Exception with a Portuguese message when the value does not convert
  //! (text that is not a number or date, an array). Null converts to 0, "" or the zero date.
  int64_t AsInteger() const;
  double AsFloat() const;
  //! Floats as the locale writes them ("1234,5"), dates as "dd/mm/yyyy[ hh:nn:ss]".
  std::string AsString() const;
  TDateTime AsDate() const;

  //! Array access; a null variant answers size 0 and null elements, so that "element 0 of no
  //! row" reads as null.
  size_t size() const;
  const Variant& operator[](size_t i) const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

 private:
  std::variant<std::monostate, int64_t, double, std::string, TDateTime, std::vector<Variant>> v_;
};

}  // namespace nrw
