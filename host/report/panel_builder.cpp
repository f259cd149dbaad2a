#include "report/panel_builder.h"

#include <memory>

#include "nrw/format.h"
#include "report/report_host.h"

namespace nrw {
namespace {

TnTipoData TipoDataOf(LayoutParamType type) {
  switch (type) {
    case LayoutParamType::Date:
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
    control->GetFieldDefinicao().SetTipoData(static_cast<int>(TipoDataOf(param.type)));
    control->AplicarDefinicao();
    item.SetControl(std::move(control));
  }
  instance.DepoisConfigurar(panel);
}

void ApplyParamSettings(const Layout& layout, const std::vector<ParamSetting>& settings,
                        TnrwBaseDll& instance, TnpqPowerParam& panel) {
  for (const ParamSetting& setting : settings) {
    TnpqParamItem* item = layout.FindParam(setting.name) ? panel.FindParam(setting.name) : nullptr;
    if (item == nullptr) {
      throw Exception("Parâmetro '" + setting.name + "' não existe no layout de " + layout.report +
                      ".");
    }
    TObject* sender = item->Control() != nullptr ? static_cast<TObject*>(item->Control())
                                                 : static_cast<TObject*>(&panel);
    instance.DoParamEnter(sender, *item);
    item->SetValue(setting.value);
    item->Checked = true;
    if (item->Control() != nullptr) item->Control()->SetChecked(true);
    instance.DoParamChange(sender, *item);
    instance.DoParamExit(sender, *item);
  }
}

}  // namespace nrw
