// Entry unit compiled unchanged into every module: it records the module's report class at load
// time, hands it to the host (ClassDll) and runs one report for a host report (Imprimir).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "nrw/core.h"
#include "nrw/handles.h"
#include "nrw/module.h"
#include "nrw/report.h"

namespace {

//! The module's report class; set once while the library loads, never cleared.
const nrw::TnrwBaseDllClass* FClassDll = nullptr;

struct RegisterClassAtLoad {
  RegisterClassAtLoad() { FClassDll = ModuleReportClass(); }
};
const RegisterClassAtLoad kRegisterClass;

std::string HexDigits(int32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<uint32_t>(value));
  return text;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const nrw::TnrwBaseDllClass* ClassDll() {
  return FClassDll;
}

extern "C" __attribute__((visibility("default"))) void Imprimir(int32_t report) {
  // The 32-bit argument is a handle of the host's table, widened by sign extension; any integer
  // that the host did not register resolves to nothing.
  auto* rep = dynamic_cast<nrw::TnrwReport*>(nrw::ResolveHandle(report));
  if (rep == nullptr) {
    throw nrw::Exception("Erro: Endereço: " + HexDigits(report) + " nao é de relatório.");
  }
  if (FClassDll == nullptr) throw nrw::Exception("FClassDll está nil.");
  // Freed on every path, also when ImprimirInterno raises; the error goes on unchanged.
  const std::unique_ptr<nrw::TnrwBaseDll> instance = FClassDll->Create(*rep);
  instance->ImprimirInterno();
}
