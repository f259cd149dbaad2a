#include <cmath>
#include <cstdint>
#include <limits>

#include "nrw/format.h"
#include "report/data_dictionary.h"
#include "report/panel_describe.h"

namespace nrw {
namespace {

// A table cell: no line breaks, no column separators.
std::string Cell(const std::string& text) {
  std::string cell;
  for (const char c : text) {
    if (c == '|') {
      cell += "\\|";
    } else if (c == '\n') {
      cell += "<br>";
    } else {
      cell += c;
    }
  }
  return cell;
}

std::string Code(const std::string& text) { return "`" + text + "`"; }

std::string Number(double value) {
  return value == std::floor(value) ? IntToStr(static_cast<int64_t>(value)) : FloatToStr(value);
}

std::string TypeName(const std::string& type) {
  static const std::pair<const char*, const char*> kNames[] = {
      {"date", "data"},          {"month", "mês/ano"},    {"year", "ano"},
      {"integer", "inteiro"},    {"decimal", "número"},   {"text", "texto"},
      {"option_list", "opções"}, {"selection", "seleção"}};
  for (const auto& [name, text] : kNames) {
    if (type == name) return text;
  }
  return type;
}

std::string Accepted(const PanelItemDescription& item) {
  if (item.type == "date") return "dd/mm/aaaa";
  if (item.type == "month") return "mm/aaaa ou dd/mm/aaaa";
  if (item.type == "year") return "aaaa ou dd/mm/aaaa";
  if (item.type == "option_list") {
    std::string options;
    for (const PanelOption& option : item.options) {
      options += (options.empty() ? "" : "<br>") + Code(option.value) +
                 (option.text == option.value ? "" : " " + option.text);
    }
    return options;
  }
  if (item.type == "integer" || item.type == "decimal") {
    const bool whole_range = item.type == "integer" &&
                             item.min == std::numeric_limits<int32_t>::min() &&
                             item.max == std::numeric_limits<int32_t>::max();
    if (whole_range || (!item.min && !item.max)) {
      return item.type == "integer" ? "número inteiro" : "número";
    }
    if (item.min && item.max) return "de " + Number(*item.min) + " a " + Number(*item.max);
    return item.min ? "a partir de " + Number(*item.min) : "até " + Number(*item.max);
  }
  if (item.type == "selection") {
    const DictionaryEntry* entry = FindDictionaryEntry(item.dictionary);
    if (entry == nullptr) return "seleção";
    const std::string kind = entry->kind == 1 ? "códigos" : "valores";
    if (*entry->table == '\0') return kind;
    return kind + " de " + entry->table + "." + entry->value_column;
  }
  return "texto";
}

std::string Default(const PanelItemDescription& item) {
  if (!Trim(item.layout_default).empty()) return Code(item.layout_default);
  return item.type == "selection" ? "vazio: todos" : "vazio";
}

}  // namespace

std::string PanelMarkdown(const PanelDescription& description) {
  std::string text = "## " + description.report;
  if (!description.title.empty()) text += ": " + description.title;
  text +=
      "\n\n"
      "| Parâmetro | Descrição | Tipo | Valores aceitos | Padrão | Separa |\n"
      "|---|---|---|---|---|---|\n";
  for (const PanelItemDescription& item : description.items) {
    if (item.variable) continue;
    text += "| " + Code(item.name) + " | " + Cell(item.caption) +
            (item.visible ? "" : " (oculto no painel)") + " | " + TypeName(item.type) + " | " +
            Cell(Accepted(item)) + " | " + Cell(Default(item)) + " | " +
            (item.split ? "sim" : "não") + " |\n";
  }
  return text;
}

}  // namespace nrw
