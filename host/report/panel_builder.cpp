#include "report/panel_builder.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "nrw/format.h"
#include "nrw/util.h"
#include "nrwhost/files.h"
#include "report/report_host.h"

namespace nrw {
namespace {

// One marker starting at text[open] ('{'); answers its replacement and where it ends, or nothing
// when it is not one of ours.
bool ExpandMarker(const std::string& text, size_t open, TDateTime today, std::string& out,
                  size_t& close) {
  close = text.find('}', open);
  if (close == std::string::npos) return false;
  const std::string marker = text.substr(open + 1, close - open - 1);
  if (marker == "hoje") {
    out = DateToStr(today);
    return true;
  }
  if (marker.rfind("ano", 0) != 0) return false;
  int64_t offset = 0;
  const std::string rest = marker.substr(3);
  if (!rest.empty()) {
    if (rest[0] != '-' && rest[0] != '+') return false;
    if (rest.size() < 2 || !TryStrToInt(rest.substr(1), offset)) return false;
    if (rest[0] == '-') offset = -offset;
  }
  out = std::to_string(YearOf(today) + offset);
  return true;
}

}  // namespace

std::string ExpandDefault(const std::string& text, TDateTime today) {
  std::string result;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '{') {
      std::string replacement;
      size_t close = 0;
      if (ExpandMarker(text, i, today, replacement, close)) {
        result += replacement;
        i = close + 1;
        continue;
      }
    }
    result += text[i++];
  }
  return result;
}

TnTipoData TipoDataOf(const LayoutParam& param) {
  switch (param.type) {
    case LayoutParamType::Date:
      switch (param.editor) {
        case LayoutDateEditor::MonthYear:
          return TnTipoData::MesAno;
        case LayoutDateEditor::Year:
          return TnTipoData::Ano;
        case LayoutDateEditor::Date:
          break;
      }
      return TnTipoData::Data;
    case LayoutParamType::Integer:
      return TnTipoData::Inteiro;
    case LayoutParamType::Float:
      return TnTipoData::Decimal;
    case LayoutParamType::Text:
    case LayoutParamType::Selection:
      break;
  }
  return TnTipoData::Texto;
}

void BuildPanel(const Layout& layout, TnrwBaseDll& instance, TnpqPowerParam& panel,
                TDateTime today) {
  for (const LayoutParam& param : layout.params) {
    TnpqParamItem& item = PanelHost::AddItem(panel, param.name);
    item.Variavel = false;
    item.Caption = param.caption;
    item.FieldDefinicao = param.dictionary;
    item.OpcaoTexto = param.options;
    item.Visivel = param.visible;
    item.SetValue(ExpandDefault(param.default_value, today));
  }
  instance.AntesConfigurar(panel);
  for (const LayoutParam& param : layout.params) {
    TnpqParamItem& item = *panel.FindParam(param.name);
    std::unique_ptr<TnFraControle> control;
    if (param.control == LayoutControl::Lookup) {
      control = std::make_unique<TnFraCtrlNDLink>(item);
    } else {
      control = std::make_unique<TnFraControle>(item);
    }
    control->GetFieldDefinicao().SetTipoData(static_cast<int>(TipoDataOf(param)));
    control->AplicarDefinicao();
    item.SetControl(std::move(control));
  }
  instance.DepoisConfigurar(panel);
}

}  // namespace nrw
