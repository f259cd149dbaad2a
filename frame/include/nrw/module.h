// Class references of report classes and the registration a module makes once.
#pragma once

#include <memory>
#include <string>

#include "nrw/report.h"

namespace nrw {

//! The class reference of a report class: its name and its virtual constructor.
class TnrwBaseDllClass {
 public:
  using Factory = std::unique_ptr<TnrwBaseDll> (*)(TnrwReport&);
  TnrwBaseDllClass(const char* name, Factory factory) : name_(name), factory_(factory) {}
  const char* ClassName() const { return name_; }
  std::unique_ptr<TnrwBaseDll> Create(TnrwReport& report) const { return factory_(report); }

 private:
  const char* name_;
  Factory factory_;
};

}  // namespace nrw

//! Defined once per module (NRW_REPORT_CLASS); the entry unit assigns it to FClassDll at load time.
const nrw::TnrwBaseDllClass* ModuleReportClass();

#define NRW_REPORT_CLASS(Class)                                                    \
  const nrw::TnrwBaseDllClass* ModuleReportClass() {                               \
    static const nrw::TnrwBaseDllClass kClass(                                     \
        #Class, [](nrw::TnrwReport& report) -> std::unique_ptr<nrw::TnrwBaseDll> { \
          return std::make_unique<Class>(report);                                  \
        });                                                                        \
    return &kClass;                                                                \
  }

//! The two exports of every module.
extern "C" {
typedef const nrw::TnrwBaseDllClass* (*ClassDllFn)();
typedef void (*ImprimirFn)(int32_t report);
}
