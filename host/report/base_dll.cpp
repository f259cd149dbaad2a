#include "nrw/report.h"

namespace nrw {

TnrwBaseDll::TnrwBaseDll(TnrwReport& report) : report_(report) {}

TnrwBaseDll::~TnrwBaseDll() = default;

std::string TnrwBaseDll::Versao() { return "[versao: 0.0.0.0]"; }
void TnrwBaseDll::CriarListaSectionsParaZebrar() {}
void TnrwBaseDll::CriarListaSectionsTrocaCor() {}
void TnrwBaseDll::RepInterno() {}
void TnrwBaseDll::ImprimirInterno() {}
void TnrwBaseDll::DoParamChange(TObject*, TnpqParamItem&) {}
void TnrwBaseDll::DoParamEnter(TObject*, TnpqParamItem&) {}
void TnrwBaseDll::DoParamExit(TObject*, TnpqParamItem&) {}
void TnrwBaseDll::DoZebradoBeforeSection(int) {}
void TnrwBaseDll::DepoisConfigurar(TnpqPowerParam&) {}
void TnrwBaseDll::AntesConfigurar(TnpqPowerParam&) {}

TnClientDataSet& TnrwBaseDll::Query() const { return report_.Query(); }

std::string TnrwBaseDll::RepParam(std::string_view name) const {
  return report_.GetParams().GetValues(name);
}

void TnrwBaseDll::RepParam(std::string_view name, const std::string& text) {
  report_.GetParams().SetValues(name, text);
}

void TnrwBaseDll::RepPrintSection(int section) { report_.RepPrintSection(section); }

void TnrwBaseDll::RepShowProgress(int position, int total) {
  report_.CSLShowProgress(position, total);
}

void TnrwBaseDll::RepObjCaption(const std::string& object, const std::string& caption) {
  report_.RepObjCaption(object, caption);
}

void TnrwBaseDll::RepObjProperty(const std::string& object, const std::string& property,
                                 const std::string& value) {
  report_.RepObjProperty(object, property, value);
}

void TnrwBaseDll::RepEndOfPage(bool on) { report_.RepEndOfPage(on); }

}  // namespace nrw
