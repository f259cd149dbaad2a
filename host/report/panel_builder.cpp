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

// A value as messages show it: cut, since the user may give anything.
std::string Shown(const std::string& value) {
  constexpr size_t kMax = 40;
  if (value.size() <= kMax) return value;
  size_t end = kMax;
  while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
  return value.substr(0, end) + "...";
}

std::string NumberText(double value) {
  return value == std::floor(value) ? IntToStr(static_cast<int64_t>(value)) : FloatToStr(value);
}

// "mm/yyyy" (month and year) or "yyyy" (year): the short forms of dates whose control asks for
// them.
bool IsShortDate(const std::string& text, TnTipoData tipo) {
  const auto digits = [&text](size_t from, size_t count) {
    if (text.size() < from + count) return false;
    for (size_t i = from; i < from + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
  };
  if (tipo == TnTipoData::Ano) return text.size() == 4 && digits(0, 4) && text != "0000";
  if (tipo != TnTipoData::MesAno || text.size() != 7 || text[2] != '/') return false;
  const int month = (text[0] - '0') * 10 + (text[1] - '0');
  return digits(0, 2) && digits(3, 4) && month >= 1 && month <= 12 && text.substr(3) != "0000";
}

void CheckBounds(const LayoutParam& param, double value, const std::string& text) {
  double min = param.min.value_or(-std::numeric_limits<double>::infinity());
  double max = param.max.value_or(std::numeric_limits<double>::infinity());
  if (param.type == LayoutParamType::Integer) {
    min = param.min.value_or(std::numeric_limits<int32_t>::min());
    max = param.max.value_or(std::numeric_limits<int32_t>::max());
  }
  if (value < min || value > max) {
    throw UsageError("Parâmetro " + param.name + ": " + Shown(text) +
                     " está fora do intervalo de " + NumberText(min) + " a " + NumberText(max) +
                     ".");
  }
}

// The user's value for a declared parameter, checked against its type before any hook sees it.
void CheckValue(const Layout& layout, const LayoutParam& param, TnpqParamItem& item,
                const std::string& value) {
  const std::string text = Trim(value);
  const auto refuse = [&param](const std::string& why) {
    throw UsageError("Parâmetro " + param.name + ": " + why + ".");
  };
  // Leaving a value empty is allowed where the layout itself leaves it empty.
  if (text.empty() && param.type != LayoutParamType::Text &&
      param.type != LayoutParamType::Selection && !Trim(param.default_value).empty()) {
    refuse("informe um valor");
  }
  if (text.empty()) return;
  switch (param.type) {
    case LayoutParamType::Integer: {
      int64_t number = 0;
      if (!TryStrToInt(text, number)) refuse("'" + Shown(value) + "' não é um número inteiro");
      CheckBounds(param, static_cast<double>(number), text);
      break;
    }
    case LayoutParamType::Float: {
      double number = 0;
      if (!TryStrToFloat(text, number) || !std::isfinite(number)) {
        refuse("'" + Shown(value) + "' não é um número");
      }
      CheckBounds(param, number, text);
      break;
    }
    case LayoutParamType::Date: {
      TnFraControle* control = item.Control();
      const auto tipo = control != nullptr
                            ? static_cast<TnTipoData>(control->GetFieldDefinicao().TipoData())
                            : TnTipoData::Data;
      if (!TryStrToDate(text) && !IsShortDate(text, tipo)) {
        refuse("'" + Shown(value) + "' não é uma data válida (use dd/mm/aaaa)");
      }
      break;
    }
    case LayoutParamType::Selection: {
      bool filtered = false;
      for (const LayoutFilter& filter : layout.dataset.filters) {
        if (!SameText(filter.param, param.name)) continue;
        filtered = true;
        try {
          FilterInterval(filter.columns, text, {filter.kind}, 0, true, 0);
        } catch (const Exception& error) {
          refuse(error.what());
        }
      }
      if (!filtered) {
        try {
          FilterInterval({"x"}, text, {static_cast<int>(TnTipoValorFiltro::Texto)}, 0, true, 0);
        } catch (const Exception& error) {
          refuse(error.what());
        }
      }
      break;
    }
    case LayoutParamType::Text:
      break;
  }
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
    const LayoutParam* declared = layout.FindParam(setting.name);
    TnpqParamItem* item = declared != nullptr ? panel.FindParam(setting.name) : nullptr;
    if (item == nullptr) {
      throw UsageError("Parâmetro '" + Shown(setting.name) + "' não existe no layout de " +
                       layout.report + ".");
    }
    CheckValue(layout, *declared, *item, setting.value);
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
