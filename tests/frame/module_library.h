// Loads a built module for the frame tests and finds its two exports.
#pragma once

#include <dlfcn.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "nrw/module.h"

class ModuleLibrary {
 public:
  explicit ModuleLibrary(const std::string& name)
      : handle_(dlopen((std::string(NRW_TEST_MODULE_DIR) + "/" + name + ".so").c_str(),
                       RTLD_NOW | RTLD_LOCAL),
                &dlclose) {
    if (!handle_) throw std::runtime_error(dlerror());
    class_dll_ = reinterpret_cast<ClassDllFn>(dlsym(handle_.get(), "ClassDll"));
    imprimir_ = reinterpret_cast<ImprimirFn>(dlsym(handle_.get(), "Imprimir"));
    if (!class_dll_ || !imprimir_) throw std::runtime_error("exports missing in " + name);
  }
  const nrw::TnrwBaseDllClass* ClassDll() const { return class_dll_(); }
  void Imprimir(int32_t report) const { imprimir_(report); }

 private:
  std::unique_ptr<void, int (*)(void*)> handle_;
  ClassDllFn class_dll_ = nullptr;
  ImprimirFn imprimir_ = nullptr;
};
