// Handle resolution as a module meets it: the frame's Imprimir called with any 32-bit value, among
// handles that are registered and released as the bytes say. Only a live report's handle runs the
// report; every other value raises the frame's error naming it, and resolves to nothing.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "nrw/core.h"
#include "nrw/handles.h"
#include "nrw/module.h"
#include "nrw/report.h"
#include "nrwhost/session.h"

namespace {

int g_runs = 0;

//! An object of another class, registered while it lives.
struct Registered {
  nrw::TObject object;
  nrw::HandleRegistration registration{object};
};

class TRptFuzz : public nrw::TnrwBaseDll {
 public:
  explicit TRptFuzz(nrw::TnrwReport& report) : TnrwBaseDll(report) {}
  void ImprimirInterno() override { ++g_runs; }
};

}  // namespace

NRW_REPORT_CLASS(TRptFuzz)

extern "C" void Imprimir(int32_t report);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nrw::fuzz::Input input(data, size);
  std::vector<std::unique_ptr<nrw::TnrwReport>> reports;
  std::vector<std::unique_ptr<Registered>> others;
  std::vector<int32_t> released;
  while (!input.Empty()) {
    switch (input.Byte() % 5) {
      case 0:
        reports.push_back(nrw::CreateEmptyReport());
        break;
      case 1:
        others.push_back(std::make_unique<Registered>());
        break;
      case 2:
        if (!reports.empty()) {
          released.push_back(reports.back()->Handle());
          reports.pop_back();
        }
        break;
      default: {
        const auto value = static_cast<int32_t>(input.Int64());
        bool live_report = false;
        for (const auto& report : reports) live_report = live_report || report->Handle() == value;
        for (const int32_t gone : released) {
          if (gone == value && nrw::ResolveHandle(value) != nullptr) std::abort();
        }
        const int before = g_runs;
        try {
          Imprimir(value);
          if (!live_report || g_runs != before + 1) std::abort();
        } catch (const nrw::Exception& error) {
          if (live_report) std::abort();
          if (std::string(error.what()).rfind("Erro: Endereço: ", 0) != 0) std::abort();
        }
      }
    }
  }
  return 0;
}
