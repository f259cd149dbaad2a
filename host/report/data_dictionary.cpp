#include "report/data_dictionary.h"

#include "nrw/format.h"

namespace nrw {
namespace {

constexpr DictionaryEntry kEntries[] = {
    {"CODIGOEMPRESA", "EMPRESA", "CODIGOEMPRESA", "NOMEEMPRESA", "CODIGOEMPRESA", 1},
    {"CODIGOESTAB", "ESTAB", "CODIGOESTAB", "APELIDOESTAB", "CODIGOEMPRESA", 1},
    {"INSCRFEDERALBENEF", "DIRFREGBENEFICIARIO", "INSCRFEDERALBENEF", "NOMEBENEF", "CODIGOEMPRESA",
     2},
    {"CODIGOFUNCCONTR", "FUNCCONTRATO", "CODIGOFUNCCONTR", "", "CODIGOEMPRESA", 1},
    {"CODIGOGRUPOPROC", "GRUPOEMPRESA", "CODIGOGRUPOPROC", "", "CODIGOEMPRESAPROC", 1},
    // Origins of accounting entries: codes, of a table this host does not keep.
    {"CODIGOORIGLCTOCTB", "", "CODIGOORIGLCTOCTB", "", "", 1},
};

}  // namespace

const DictionaryEntry* FindDictionaryEntry(std::string_view entry) {
  for (const DictionaryEntry& known : kEntries) {
    if (SameText(known.entry, entry)) return &known;
  }
  return nullptr;
}

}  // namespace nrw
