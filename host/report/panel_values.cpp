#include "report/panel_values.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>

#include "nrw/format.h"
#include "nrw/util.h"
#include "nrwhost/files.h"
#include "report/company_rights.h"
#include "report/data_dictionary.h"
#include "report/editor_values.h"
#include "report/panel_builder.h"
#include "report/panel_options.h"
#include "report/report_host.h"

namespace nrw {
namespace {

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

[[noreturn]] void Refuse(const LayoutParam& param, std::string why) {
  // Some reasons come as sentences of their own (a selection's).
  if (!why.empty() && why.back() == '.') why.pop_back();
  throw UsageError("Parâmetro " + param.name + ": " + why + ".");
}

void CheckBounds(const LayoutParam& param, double value, const std::string& text) {
  double min = param.min.value_or(-std::numeric_limits<double>::infinity());
  double max = param.max.value_or(std::numeric_limits<double>::infinity());
  if (param.type == LayoutParamType::Integer) {
    min = param.min.value_or(std::numeric_limits<int32_t>::min());
    max = param.max.value_or(std::numeric_limits<int32_t>::max());
  }
  if (value < min || value > max) {
    Refuse(param,
           Shown(text) + " está fora do intervalo de " + NumberText(min) + " a " + NumberText(max));
  }
}

// An option parameter takes only its options.
void CheckOption(const LayoutParam& param, const TnpqParamItem& item, const std::string& text) {
  const std::vector<PanelOption> options = ParseOptions(item.OpcaoTexto);
  if (options.empty() || IsOption(options, text, param.type == LayoutParamType::Integer)) return;
  Refuse(param, "'" + Shown(text) + "' não é uma das opções (" + OptionValues(options) + ")");
}

// The value kinds a selection must convert to: those of the filters that turn it into SQL, or
// else the kind of its dictionary entry (codes for a company), or else text.
std::vector<int> SelectionKinds(const Layout& layout, const LayoutParam& param,
                                const TnpqParamItem& item) {
  std::vector<int> kinds;
  for (const auto* filters : {&layout.dataset.filters, &layout.handed.filters}) {
    for (const LayoutFilter& filter : *filters) {
      if (SameText(filter.param, param.name)) kinds.push_back(filter.kind);
    }
  }
  if (kinds.empty()) {
    const DictionaryEntry* entry = FindDictionaryEntry(item.FieldDefinicao);
    kinds.push_back(entry != nullptr ? entry->kind : static_cast<int>(TnTipoValorFiltro::Texto));
  }
  return kinds;
}

TnTipoData EditorOf(const LayoutParam& param, TnpqParamItem& item) {
  TnFraControle* control = item.Control();
  return control != nullptr ? static_cast<TnTipoData>(control->GetFieldDefinicao().TipoData())
                            : TipoDataOf(param);
}

// One value the user gave, with its declaration and item.
struct Given {
  size_t position = 0;
  const LayoutParam* param = nullptr;
  TnpqParamItem* item = nullptr;
  std::string value;
  //! A date typed in a form its editor did not take when its turn came: a hook may yet switch the
  //! editor, so it is checked once every value is in.
  std::optional<DateForm> pending_form;
};

std::vector<Given> InPanelOrder(const Layout& layout, const std::vector<ParamSetting>& settings,
                                const TnpqPowerParam& panel) {
  std::vector<Given> given;
  for (const ParamSetting& setting : settings) {
    const LayoutParam* declared = layout.FindParam(setting.name);
    TnpqParamItem* item = declared != nullptr ? panel.FindParam(setting.name) : nullptr;
    if (item == nullptr) {
      throw UsageError("Parâmetro '" + Shown(setting.name) + "' não existe no layout de " +
                       layout.report + ".");
    }
    // A value given again replaces the earlier one, as retyping the field does.
    const auto earlier = std::find_if(given.begin(), given.end(),
                                      [item](const Given& other) { return other.item == item; });
    if (earlier != given.end()) {
      earlier->value = setting.value;
      continue;
    }
    Given entry;
    entry.position = static_cast<size_t>(declared - layout.params.data());
    entry.param = declared;
    entry.item = item;
    entry.value = setting.value;
    given.push_back(std::move(entry));
  }
  std::stable_sort(given.begin(), given.end(),
                   [](const Given& a, const Given& b) { return a.position < b.position; });
  return given;
}

// The text written for the value, checked against its declaration and its editor.
std::string CheckedValue(const Layout& layout, Given& given) {
  const LayoutParam& param = *given.param;
  const std::string text = Trim(given.value);
  const auto refuse = [&param](const std::string& why) { Refuse(param, why); };
  // Leaving a value empty is allowed where the layout itself leaves it empty.
  if (text.empty()) {
    if (param.type != LayoutParamType::Text && param.type != LayoutParamType::Selection &&
        !Trim(param.default_value).empty()) {
      refuse("informe um valor");
    }
    return given.value;
  }
  switch (param.type) {
    case LayoutParamType::Integer: {
      int64_t number = 0;
      if (!TryStrToInt(text, number))
        refuse("'" + Shown(given.value) + "' não é um número inteiro");
      CheckBounds(param, static_cast<double>(number), text);
      CheckOption(param, *given.item, text);
      return *EditorValue(TnTipoData::Inteiro, text);
    }
    case LayoutParamType::Float: {
      double number = 0;
      if (!TryStrToFloat(text, number) || !std::isfinite(number)) {
        refuse("'" + Shown(given.value) + "' não é um número");
      }
      CheckBounds(param, number, text);
      CheckOption(param, *given.item, text);
      return text;
    }
    case LayoutParamType::Date: {
      const TnTipoData editor = EditorOf(param, *given.item);
      const std::optional<TypedDate> typed = ParseTypedDate(text);
      if (!typed) {
        refuse("'" + Shown(given.value) + "' não é uma data válida (use " + EditorForms(editor) +
               ")");
      }
      if (!EditorTakes(editor, typed->form)) given.pending_form = typed->form;
      return DateToStr(typed->date);
    }
    case LayoutParamType::Selection: {
      for (const int kind : SelectionKinds(layout, param, *given.item)) {
        try {
          FilterInterval({"x"}, text, {kind}, 0, true, 0);
        } catch (const Exception& error) {
          refuse(error.what());
        }
      }
      if (SelectsCompanies(layout, *given.item)) CheckUserCompanies(param.name, text);
      return given.value;
    }
    case LayoutParamType::Text:
      CheckOption(param, *given.item, text);
      return given.value;
  }
  return given.value;
}

[[noreturn]] void RefuseDisabled(const Given& given, const std::string& by) {
  Refuse(*given.param, "está desabilitado no painel" + (by.empty() ? "" : " depois de " + by) +
                           "; não informe um valor para ele");
}

bool Disabled(const TnpqParamItem& item) {
  return item.Control() != nullptr && !item.Control()->Enabled();
}

}  // namespace

void ApplyParamSettings(const Layout& layout, const std::vector<ParamSetting>& settings,
                        TnrwBaseDll& instance, TnpqPowerParam& panel) {
  std::vector<Given> given = InPanelOrder(layout, settings, panel);
  // Which value's hooks disabled an item, for the message that refuses a value given to it. A
  // value given to an item disabled when its turn comes is still written: a later value's hooks
  // may enable it again, as a person goes back up the form.
  std::map<const TnpqParamItem*, std::string> disabled_by;
  for (Given& entry : given) {
    TnpqParamItem& item = *entry.item;
    const std::string value = CheckedValue(layout, entry);
    std::vector<const TnpqParamItem*> enabled;
    for (const auto& other : PanelHost::Items(panel)) {
      if (!Disabled(*other)) enabled.push_back(other.get());
    }
    TObject* sender = item.Control() != nullptr ? static_cast<TObject*>(item.Control())
                                                : static_cast<TObject*>(&panel);
    instance.DoParamEnter(sender, item);
    item.SetValue(value);
    item.Checked = true;
    if (item.Control() != nullptr) item.Control()->SetChecked(true);
    instance.DoParamChange(sender, item);
    instance.DoParamExit(sender, item);
    for (const TnpqParamItem* other : enabled) {
      if (Disabled(*other)) disabled_by[other] = entry.param->name + "=" + Shown(Trim(entry.value));
    }
  }
  for (const Given& entry : given) {
    if (Disabled(*entry.item)) RefuseDisabled(entry, disabled_by[entry.item]);
    if (!entry.pending_form) continue;
    const TnTipoData editor = EditorOf(*entry.param, *entry.item);
    if (!EditorTakes(editor, *entry.pending_form)) {
      Refuse(*entry.param, "'" + Shown(entry.value) + "' não é uma data válida (use " +
                               EditorForms(editor) + ")");
    }
  }
}

void ApplyPanelEvent(const Layout& layout, PanelEventKind kind, const std::string& name,
                     const std::optional<std::string>& value, TnrwBaseDll& instance,
                     TnpqPowerParam& panel) {
  const LayoutParam* declared = layout.FindParam(name);
  TnpqParamItem* item = declared != nullptr ? panel.FindParam(name) : nullptr;
  if (item == nullptr) {
    throw UsageError("Parâmetro '" + Shown(name) + "' não existe no layout de " + layout.report +
                     ".");
  }
  TObject* sender = item->Control() != nullptr ? static_cast<TObject*>(item->Control())
                                               : static_cast<TObject*>(&panel);
  switch (kind) {
    case PanelEventKind::Enter:
      instance.DoParamEnter(sender, *item);
      return;
    case PanelEventKind::Exit:
      instance.DoParamExit(sender, *item);
      return;
    case PanelEventKind::Change:
      break;
  }
  if (Disabled(*item)) {
    Refuse(*declared, "está desabilitado no painel; não informe um valor para ele");
  }
  // Clearing is what a person does before typing anew: allowed, and the run checks what remains.
  std::string text;
  if (value) {
    Given given;
    given.param = declared;
    given.item = item;
    given.value = *value;
    text = CheckedValue(layout, given);
    if (given.pending_form && !EditorTakes(EditorOf(*declared, *item), *given.pending_form)) {
      Refuse(*declared, "'" + Shown(*value) + "' não é uma data válida (use " +
                            EditorForms(EditorOf(*declared, *item)) + ")");
    }
  }
  item->SetValue(text);
  item->Checked = value.has_value();
  if (item->Control() != nullptr) item->Control()->SetChecked(value.has_value());
  instance.DoParamChange(sender, *item);
}

}  // namespace nrw
