#include "report/module_loader.h"

#include <dlfcn.h>

#include <filesystem>

#include "core/detailed_error.h"
#include "nrw/core.h"
#include "nrwhost/session.h"
#include "report/engine.h"
#include "report/module_file.h"
#include "report/report_host.h"

namespace nrw {

void LoadedModule::Closer::operator()(void* handle) const { dlclose(handle); }

LoadedModule::LoadedModule(const std::string& path) : path_(path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error) && !error) {
    throw UsageError("Módulo de relatório não encontrado: " + path + ".");
  }
  CheckModuleFile(path);
  dlerror();
  handle_.reset(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!handle_) {
    const char* reason = dlerror();
    // The loader's own words stay in the detail: the user needs to know it is not a module.
    throw UsageError("Não foi possível carregar o módulo " + path +
                         ": o arquivo não é um módulo de relatório ou está danificado.",
                     reason != nullptr ? reason : "");
  }
  class_dll_ = reinterpret_cast<ClassDllFn>(dlsym(handle_.get(), "ClassDll"));
  imprimir_ = reinterpret_cast<ImprimirFn>(dlsym(handle_.get(), "Imprimir"));
  if (class_dll_ == nullptr || imprimir_ == nullptr) {
    throw UsageError("O arquivo " + path +
                     " não é um módulo de relatório (não exporta ClassDll e Imprimir).");
  }
}

LoadedModule::~LoadedModule() = default;

const TnrwBaseDllClass& LoadedModule::ReportClass() const {
  const TnrwBaseDllClass* report_class = class_dll_();
  if (report_class == nullptr) {
    throw Exception("O módulo " + path_ + " não registrou sua classe de relatório.");
  }
  return *report_class;
}

std::string ModuleVersion(const std::string& path) {
  const LoadedModule module(path);
  const std::unique_ptr<TnrwReport> report = ReportHost::Make();
  const std::unique_ptr<TnrwBaseDll> instance = module.ReportClass().Create(*report);
  return instance->Versao();
}

}  // namespace nrw
