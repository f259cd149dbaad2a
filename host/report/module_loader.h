// A report module loaded from its file: the library stays mapped while the object lives (RAII over
// dlopen/dlclose) and its two exports are at hand. Objects made by the module's code (instances,
// event handlers) must be gone before the module is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "nrw/module.h"

namespace nrw {

class LoadedModule {
 public:
  //! Loads with RTLD_NOW | RTLD_LOCAL; raises Exception with a clear message for a missing file,
  //! a library that does not load, or a library without the two exports.
  explicit LoadedModule(const std::string& path);
  ~LoadedModule();
  LoadedModule(LoadedModule&&) noexcept = default;
  LoadedModule& operator=(LoadedModule&&) noexcept = default;

  const std::string& Path() const { return path_; }
  //! The module's report class; raises when the module registered none.
  const TnrwBaseDllClass& ReportClass() const;
  void Imprimir(int32_t report) const { imprimir_(report); }

 private:
  struct Closer {
    void operator()(void* handle) const;
  };
  std::string path_;
  std::unique_ptr<void, Closer> handle_;
  ClassDllFn class_dll_ = nullptr;
  ImprimirFn imprimir_ = nullptr;
};

}  // namespace nrw
