#include "layout/layout_loader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "layout/dataset_statement.h"
#include "layout/json_reader.h"
#include "layout/message_pages.h"
#include "nrw/core.h"
#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrwhost/files.h"
#include "util/input_file.h"

namespace nrw {
namespace {

using nlohmann::json;

// A little slack so that sizes written with a few decimals still fit exactly.
constexpr double kToleranceMm = 1e-6;
// The largest layout is some 30 kB: a file a hundred times that is no layout (and a title of
// megabytes would only cost the run its time).
constexpr size_t kMaxLayoutBytes = 4 << 20;
// Metric-compatible with the faces of the printed forms; Debian's fonts-liberation2.
constexpr const char* kDefaultFontFamily = "Liberation Sans";

class LayoutParser {
 public:
  explicit LayoutParser(std::string origin) : origin_(std::move(origin)) {}

  Layout Parse(std::string_view text) {
    json document;
    try {
      document = json::parse(text.begin(), text.end());
    } catch (const json::parse_error& error) {
      Fail("", "JSON inválido perto do caractere " + std::to_string(error.byte));
    } catch (const json::exception&) {
      // A number too large for a double is no parse error to the reader, but is no layout either.
      Fail("", "JSON inválido: um número está fora dos limites");
    }
    JsonObjectReader root(document, "", Failer());
    Layout layout;
    layout.report = root.RequiredString("report");
    layout.title = root.String("title");
    layout.page = ReadPage(root.Object("page"), root.Has("page"));
    layout.grid = ReadGrid(root.Object("text_grid"));
    layout.font = ReadFont(root.Object("font"), "font");
    if (layout.font.family.empty()) layout.font.family = kDefaultFontFamily;
    // A row of the text grid holds one line of text with some leading.
    if (layout.font.size_pt <= 0) layout.font.size_pt = layout.grid.row_mm * 72.0 / 25.4 * 0.75;
    layout.params = ReadParams(root.Array("params"));
    layout.dataset = ReadDataset(root.Object("dataset"), layout);
    layout.separators = ReadSeparators(root.Array("separators"), layout);
    layout.handed = ReadHandedDataSets(root.Object("handed_datasets"), layout);
    layout.sections = ReadSections(root.Array("sections"), layout.page);
    layout.message_subject = root.String("message_subject");
    layout.host_sections = MessageSections(layout);
    root.RejectUnknownKeys();
    return layout;
  }

 private:
  [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
    throw Exception("Layout " + origin_ + ": " + (where.empty() ? "" : where + ": ") + what + ".");
  }
  JsonObjectReader::Fail Failer() const {
    return [this](const std::string& where, const std::string& what) { Fail(where, what); };
  }

  LayoutPage ReadPage(const json& object, bool present) {
    if (!present) Fail("", "'page' é obrigatório");
    JsonObjectReader page(object, "page", Failer());
    LayoutPage result;
    result.width_mm = page.RequiredNumber("width_mm");
    result.height_mm = page.RequiredNumber("height_mm");
    if (result.width_mm <= 0) page.Raise("'width_mm' deve ser maior que zero");
    if (result.height_mm <= 0) page.Raise("'height_mm' deve ser maior que zero");
    const std::string orientation = page.String("orientation", "portrait");
    if (orientation == "portrait") {
      result.orientation = LayoutOrientation::Portrait;
      if (result.width_mm > result.height_mm) {
        page.Raise("orientação 'portrait' pede altura maior ou igual à largura");
      }
    } else if (orientation == "landscape") {
      result.orientation = LayoutOrientation::Landscape;
      if (result.width_mm < result.height_mm) {
        page.Raise("orientação 'landscape' pede largura maior ou igual à altura");
      }
    } else {
      page.Raise("'orientation' inválida: '" + orientation + "' (use portrait ou landscape)");
    }
    JsonObjectReader margins(page.Object("margins_mm"), "page.margins_mm", Failer());
    result.margins.top_mm = NonNegative(margins, "top");
    result.margins.bottom_mm = NonNegative(margins, "bottom");
    result.margins.left_mm = NonNegative(margins, "left");
    result.margins.right_mm = NonNegative(margins, "right");
    margins.RejectUnknownKeys();
    if (result.BodyWidth() <= 0 || result.BodyHeight() <= 0) {
      page.Raise("as margens não deixam área útil na página");
    }
    page.RejectUnknownKeys();
    return result;
  }

  static double NonNegative(JsonObjectReader& reader, const std::string& key) {
    const double value = reader.Number(key, 0);
    if (value < 0) reader.Raise("'" + key + "' não pode ser negativo");
    return value;
  }

  LayoutTextGrid ReadGrid(const json& object) {
    JsonObjectReader grid(object, "text_grid", Failer());
    LayoutTextGrid result;
    result.column_mm = grid.Number("column_mm", result.column_mm);
    result.row_mm = grid.Number("row_mm", result.row_mm);
    if (result.column_mm <= 0) grid.Raise("'column_mm' deve ser maior que zero");
    if (result.row_mm <= 0) grid.Raise("'row_mm' deve ser maior que zero");
    grid.RejectUnknownKeys();
    return result;
  }

  // "font": {"family": "Liberation Sans", "size_pt": 8, "weight": "bold"}; every key optional.
  LayoutFont ReadFont(const json& object, const std::string& where) {
    JsonObjectReader font(object, where, Failer());
    LayoutFont result;
    result.family = font.String("family");
    result.size_pt = font.Number("size_pt", 0);
    if (result.size_pt < 0) font.Raise("'size_pt' não pode ser negativo");
    const std::string weight = font.String("weight", "normal");
    if (weight == "bold") {
      result.bold = true;
    } else if (weight != "normal") {
      font.Raise("'weight' inválido: '" + weight + "' (use normal ou bold)");
    }
    font.RejectUnknownKeys();
    return result;
  }

  std::vector<LayoutParam> ReadParams(const json& array) {
    std::vector<LayoutParam> params;
    for (size_t i = 0; i < array.size(); ++i) {
      JsonObjectReader item(array[i], "params[" + std::to_string(i) + "]", Failer());
      LayoutParam param;
      param.name = item.RequiredString("name");
      param.caption = item.String("caption", param.name);
      param.type = ParamType(item, item.String("type", "text"));
      param.default_value = item.String("default");
      param.options = item.String("options");
      param.dictionary = item.String("dictionary");
      param.visible = item.Boolean("visible", true);
      ReadBounds(item, param);
      if (param.type == LayoutParamType::Date && !IsDateDefault(param.default_value)) {
        item.Raise("o padrão '" + param.default_value + "' do parâmetro '" + param.name +
                   "' não é uma data (use dd/mm/aaaa, mm/aaaa ou aaaa, com {ano}, {ano-N} ou "
                   "{hoje})");
      }
      ReadEditor(item, param);
      const std::string control = item.String("control", "edit");
      if (control == "edit") {
        param.control = LayoutControl::Edit;
      } else if (control == "lookup") {
        param.control = LayoutControl::Lookup;
      } else {
        item.Raise("'control' inválido: '" + control + "' (use edit ou lookup)");
      }
      item.RejectUnknownKeys();
      for (const LayoutParam& other : params) {
        if (SameText(other.name, param.name)) {
          item.Raise("parâmetro '" + param.name + "' declarado mais de uma vez");
        }
      }
      params.push_back(std::move(param));
    }
    return params;
  }

  // A date parameter's default, its markers standing for any year: a date, a month and year or a
  // year, as the panel's date editors take them; or empty. Tried with a leap year and another, so
  // that "29/02/{ano}" is found out whatever the year the layout is read.
  static bool IsDateDefault(const std::string& text) {
    return IsDateForYear(text, "2000") && IsDateForYear(text, "2001");
  }

  static bool IsDateForYear(const std::string& text, const std::string& year) {
    std::string sample;
    for (size_t i = 0; i < text.size(); ++i) {
      const size_t close = text[i] == '{' ? text.find('}', i) : std::string::npos;
      const std::string marker =
          close == std::string::npos ? "" : text.substr(i + 1, close - i - 1);
      if (marker == "hoje") {
        sample += "01/01/" + year;
      } else if (marker == "ano" ||
                 ((marker.rfind("ano-", 0) == 0 || marker.rfind("ano+", 0) == 0) &&
                  marker.size() > 4 &&
                  marker.find_first_not_of("0123456789", 4) == std::string::npos)) {
        sample += year;
      } else {
        sample += text[i];
        continue;
      }
      i = close;
    }
    const std::string trimmed = Trim(sample);
    if (trimmed.empty() || TryStrToDate(trimmed)) return true;
    const auto digits = [&trimmed](size_t from, size_t count) {
      return trimmed.find_first_not_of("0123456789", from) >= from + count;
    };
    if (trimmed.size() == 4) return digits(0, 4);
    return trimmed.size() == 7 && trimmed[2] == '/' && digits(0, 2) && digits(3, 4) &&
           std::stoi(trimmed.substr(0, 2)) >= 1 && std::stoi(trimmed.substr(0, 2)) <= 12;
  }

  static void ReadBounds(JsonObjectReader& item, LayoutParam& param) {
    for (const auto& [key, bound] : {std::pair{"min", &param.min}, std::pair{"max", &param.max}}) {
      if (!item.Has(key)) continue;
      if (param.type != LayoutParamType::Integer && param.type != LayoutParamType::Float) {
        item.Raise(std::string("'") + key + "' só vale para os tipos integer e float");
      }
      *bound = item.RequiredNumber(key);
      if (param.type == LayoutParamType::Integer &&
          (**bound != std::floor(**bound) || std::fabs(**bound) > 9.0e15)) {
        item.Raise(std::string("'") + key + "' de um parâmetro integer deve ser um número inteiro");
      }
    }
    if (param.min && param.max && *param.min > *param.max) {
      item.Raise("'min' não pode ser maior que 'max'");
    }
  }

  static void ReadEditor(JsonObjectReader& item, LayoutParam& param) {
    if (!item.Has("editor")) return;
    if (param.type != LayoutParamType::Date) item.Raise("'editor' só vale para o tipo date");
    static const std::map<std::string, LayoutDateEditor> kEditors = {
        {"date", LayoutDateEditor::Date},
        {"month", LayoutDateEditor::MonthYear},
        {"year", LayoutDateEditor::Year}};
    const std::string editor = item.String("editor");
    const auto found = kEditors.find(editor);
    if (found == kEditors.end()) {
      item.Raise("'editor' inválido: '" + editor + "' (use date, month ou year)");
    }
    param.editor = found->second;
  }

  static LayoutParamType ParamType(const JsonObjectReader& item, const std::string& type) {
    static const std::map<std::string, LayoutParamType> kTypes = {
        {"date", LayoutParamType::Date},
        {"integer", LayoutParamType::Integer},
        {"float", LayoutParamType::Float},
        {"text", LayoutParamType::Text},
        {"selection", LayoutParamType::Selection}};
    const auto found = kTypes.find(type);
    if (found == kTypes.end()) {
      item.Raise("'type' inválido: '" + type + "' (use date, integer, float, text ou selection)");
    }
    return found->second;
  }

  static void RequireParam(const JsonObjectReader& reader, const Layout& layout,
                           const std::string& name, const std::string& use) {
    if (layout.FindParam(name) == nullptr) {
      reader.Raise(use + " usa o parâmetro '" + name + "', que não está em 'params'");
    }
  }

  std::vector<LayoutFilter> ReadFilters(const json& array, const std::string& where,
                                        const Layout& layout) {
    std::vector<LayoutFilter> filters;
    for (size_t i = 0; i < array.size(); ++i) {
      JsonObjectReader item(array[i], where + ".filters[" + std::to_string(i) + "]", Failer());
      LayoutFilter filter;
      filter.param = item.RequiredString("param");
      RequireParam(item, layout, filter.param, "o filtro");
      const json& columns = item.Array("columns");
      if (columns.empty()) item.Raise("'columns' deve ter ao menos uma coluna");
      for (const json& column : columns) {
        if (!column.is_string() || column.get<std::string>().empty()) {
          item.Raise("'columns' deve conter nomes de coluna");
        }
        filter.columns.push_back(column.get<std::string>());
      }
      filter.kind = item.RequiredInteger("kind");
      if (filter.kind < 1 || filter.kind > 3) {
        item.Raise("'kind' deve ser 1 (códigos), 2 (textos) ou 3 (datas)");
      }
      item.RejectUnknownKeys();
      filters.push_back(std::move(filter));
    }
    return filters;
  }

  static void RequireStatementParams(const JsonObjectReader& reader, const Layout& layout,
                                     const std::string& sql, const std::string& what) {
    for (const std::string& name : MainDatasetParamNames(sql)) {
      if (layout.FindParam(name) == nullptr) {
        reader.Raise(what + " usa :" + name + ", que não está em 'params'");
      }
    }
  }

  LayoutDataset ReadDataset(const json& object, const Layout& layout) {
    JsonObjectReader dataset(object, "dataset", Failer());
    LayoutDataset result;
    result.sql = dataset.String("sql");
    result.filters = ReadFilters(dataset.Array("filters"), "dataset", layout);
    dataset.RejectUnknownKeys();
    if (!result.filters.empty() && result.sql.find(kFiltrosMarker) == std::string::npos) {
      dataset.Raise("a consulta não tem o marcador {filtros} para os filtros declarados");
    }
    RequireStatementParams(dataset, layout, result.sql, "a consulta");
    result.param_names = MainDatasetParamNames(result.sql);
    return result;
  }

  static bool IsIdentifier(const std::string& text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text.front()))) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
  }

  LayoutHandedDataSets ReadHandedDataSets(const json& object, const Layout& layout) {
    JsonObjectReader handed(object, "handed_datasets", Failer());
    LayoutHandedDataSets result;
    result.where = handed.String("where");
    RequireStatementParams(handed, layout, result.where, "a condição 'where'");
    result.filters = ReadFilters(handed.Array("filters"), "handed_datasets", layout);
    const json& datasets = handed.Array("datasets");
    for (size_t i = 0; i < datasets.size(); ++i) {
      JsonObjectReader item(datasets[i], "handed_datasets.datasets[" + std::to_string(i) + "]",
                            Failer());
      LayoutHandedDataSet dataset;
      dataset.param = item.RequiredString("param");
      if (layout.FindParam(dataset.param) != nullptr) {
        item.Raise("o parâmetro '" + dataset.param +
                   "' recebe o identificador do conjunto de dados e não pode estar em 'params'");
      }
      for (const LayoutHandedDataSet& other : result.datasets) {
        if (SameText(other.param, dataset.param)) {
          item.Raise("parâmetro '" + dataset.param + "' declarado mais de uma vez");
        }
      }
      dataset.table = item.RequiredString("table");
      if (!IsIdentifier(dataset.table)) {
        item.Raise("'table' deve ser o nome de uma tabela: '" + dataset.table + "'");
      }
      dataset.order = item.String("order");
      item.RejectUnknownKeys();
      result.datasets.push_back(std::move(dataset));
    }
    handed.RejectUnknownKeys();
    if (result.datasets.empty() && (!result.where.empty() || !result.filters.empty())) {
      handed.Raise("'datasets' deve ter ao menos um conjunto de dados");
    }
    return result;
  }

  std::vector<LayoutSeparator> ReadSeparators(const json& array, const Layout& layout) {
    std::vector<LayoutSeparator> separators;
    for (size_t i = 0; i < array.size(); ++i) {
      JsonObjectReader item(array[i], "separators[" + std::to_string(i) + "]", Failer());
      LayoutSeparator separator;
      separator.param = item.RequiredString("param");
      RequireParam(item, layout, separator.param, "o separador");
      separator.fields = item.RequiredString("fields");
      separator.table = item.RequiredString("table");
      separator.filter = item.String("filter");
      RequireStatementParams(item, layout, separator.filter, "o filtro do separador");
      item.RejectUnknownKeys();
      for (const LayoutSeparator& other : separators) {
        if (SameText(other.param, separator.param)) {
          item.Raise("separador de '" + separator.param + "' declarado mais de uma vez");
        }
      }
      separators.push_back(std::move(separator));
    }
    return separators;
  }

  std::vector<LayoutSection> ReadSections(const json& array, const LayoutPage& page) {
    std::vector<LayoutSection> sections;
    std::set<int> numbers;
    double headings_mm = 0;
    for (size_t i = 0; i < array.size(); ++i) {
      JsonObjectReader item(array[i], "sections[" + std::to_string(i) + "]", Failer());
      LayoutSection section;
      section.number = item.RequiredInteger("number");
      if (section.number < 0) item.Raise("'number' não pode ser negativo (são as seções do host)");
      if (!numbers.insert(section.number).second) {
        item.Raise("seção " + std::to_string(section.number) + " declarada mais de uma vez");
      }
      section.height_mm = item.RequiredNumber("height_mm");
      if (section.height_mm < 0) item.Raise("'height_mm' não pode ser negativo");
      if (section.height_mm > page.BodyHeight() + kToleranceMm) {
        item.Raise("a seção " + std::to_string(section.number) +
                   " é mais alta que a área útil da página");
      }
      const std::string kind = item.String("kind", "band");
      if (kind == "band") {
        section.kind = LayoutSectionKind::Band;
      } else if (kind == "page_heading") {
        section.kind = LayoutSectionKind::PageHeading;
        headings_mm += section.height_mm;
      } else {
        item.Raise("'kind' inválido: '" + kind + "' (use band ou page_heading)");
      }
      if (const json* keep = item.Value("keep_with_next")) {
        section.keep_with_next = ReadKeep(item, *keep);
      }
      if (const json* repeat = item.Value("repeat_on_new_page")) {
        section.repeat = ReadRepeat(item, *repeat);
      }
      section.once_per_page = item.Boolean("once_per_page", false);
      if (section.kind == LayoutSectionKind::PageHeading &&
          (!section.keep_with_next.sections.empty() || section.repeat.on ||
           section.once_per_page)) {
        item.Raise(
            "'keep_with_next', 'repeat_on_new_page' e 'once_per_page' valem só para seções band");
      }
      section.sheet = ReadSheetRows(item, section.kind);
      const json& items = item.Array("items");
      for (size_t k = 0; k < items.size(); ++k) {
        section.items.push_back(
            ReadItem(items[k], item.Where() + ".items[" + std::to_string(k) + "]"));
      }
      item.RejectUnknownKeys();
      sections.push_back(std::move(section));
    }
    if (headings_mm >= page.BodyHeight()) {
      Fail("sections", "os cabeçalhos de página não deixam espaço para o corpo da página");
    }
    std::sort(sections.begin(), sections.end(),
              [](const LayoutSection& a, const LayoutSection& b) { return a.number < b.number; });
    return sections;
  }

  // "keep_with_next": [11], or {"sections": [13], "count": 2}.
  LayoutKeep ReadKeep(JsonObjectReader& section, const json& value) {
    LayoutKeep keep;
    const json* sections = &value;
    if (value.is_object()) {
      JsonObjectReader object(value, section.Where() + ".keep_with_next", Failer());
      sections = &object.Array("sections");
      keep.count = object.Integer("count", 1);
      if (keep.count < 1) object.Raise("'count' deve ser maior que zero");
      object.RejectUnknownKeys();
    }
    if (!sections->is_array() || sections->empty()) {
      section.Raise("'keep_with_next' deve listar os números das seções seguintes");
    }
    for (const json& number : *sections) {
      if (!number.is_number_integer()) {
        section.Raise("'keep_with_next' deve listar os números das seções seguintes");
      }
      keep.sections.push_back(number.get<int>());
    }
    return keep;
  }

  // "repeat_on_new_page": true, or {"when": "R17"}.
  LayoutRepeat ReadRepeat(JsonObjectReader& section, const json& value) {
    LayoutRepeat repeat;
    if (value.is_boolean()) {
      repeat.on = value.get<bool>();
      return repeat;
    }
    if (!value.is_object()) {
      section.Raise("'repeat_on_new_page' deve ser true, false ou {\"when\": \"VARIAVEL\"}");
    }
    JsonObjectReader object(value, section.Where() + ".repeat_on_new_page", Failer());
    repeat.on = true;
    repeat.when = object.RequiredString("when");
    object.RejectUnknownKeys();
    return repeat;
  }

  LayoutItem ReadItem(const json& object, const std::string& where) {
    JsonObjectReader item(object, where, Failer());
    LayoutItem result;
    const std::string type = item.RequiredString("type");
    if (type == "text") {
      result.type = LayoutItemType::Text;
    } else if (type == "label") {
      result.type = LayoutItemType::Label;
    } else if (type == "line") {
      result.type = LayoutItemType::Line;
    } else if (type == "box") {
      result.type = LayoutItemType::Box;
    } else {
      item.Raise("'type' inválido: '" + type + "' (use text, label, line ou box)");
    }
    result.name = item.String("name");
    result.x_mm = NonNegative(item, "x_mm");
    result.y_mm = NonNegative(item, "y_mm");
    result.w_mm = NonNegative(item, "w_mm");
    result.h_mm = NonNegative(item, "h_mm");
    result.text = item.String("text");
    const std::string align = item.String("align", "left");
    if (align == "left") {
      result.align = LayoutAlign::Left;
    } else if (align == "right") {
      result.align = LayoutAlign::Right;
    } else if (align == "center") {
      result.align = LayoutAlign::Center;
    } else {
      item.Raise("'align' inválido: '" + align + "' (use left, right ou center)");
    }
    result.wrap = item.Boolean("wrap", true);
    if (const json* widest = item.Value("widest")) result.widest = ReadWidest(item, *widest);
    result.font = ReadFont(item.Object("font"), where + ".font");
    result.column = item.String("column");
    result.cell = ReadCell(item);
    const bool shows_text =
        result.type == LayoutItemType::Text || result.type == LayoutItemType::Label;
    if (!shows_text && (item.Has("column") || item.Has("cell"))) {
      item.Raise("'column' e 'cell' valem só para textos (text ou label)");
    }
    switch (result.type) {
      case LayoutItemType::Text:
      case LayoutItemType::Label:
        if (result.w_mm <= 0) item.Raise("'w_mm' deve ser maior que zero");
        break;
      case LayoutItemType::Line:
        if (result.w_mm <= 0 && result.h_mm <= 0) {
          item.Raise("uma linha precisa de 'w_mm' ou 'h_mm' maior que zero");
        }
        break;
      case LayoutItemType::Box:
        if (result.w_mm <= 0 || result.h_mm <= 0) {
          item.Raise("um retângulo precisa de 'w_mm' e 'h_mm' maiores que zero");
        }
        break;
    }
    item.RejectUnknownKeys();
    return result;
  }

  // What a printed section gives a spreadsheet; page headings are its header row unless told.
  static LayoutSheetRows ReadSheetRows(JsonObjectReader& section, LayoutSectionKind kind) {
    const std::string fallback = kind == LayoutSectionKind::PageHeading ? "header" : "row";
    const std::string sheet = section.String("sheet", fallback);
    if (sheet == "row") return LayoutSheetRows::Row;
    if (sheet == "lines") return LayoutSheetRows::Lines;
    if (sheet == "header") return LayoutSheetRows::Header;
    if (sheet == "none") return LayoutSheetRows::None;
    section.Raise("'sheet' inválido: '" + sheet + "' (use row, lines, header ou none)");
  }

  static LayoutCell ReadCell(JsonObjectReader& item) {
    const std::string cell = item.String("cell", "auto");
    if (cell == "auto") return LayoutCell::Auto;
    if (cell == "text") return LayoutCell::Text;
    if (cell == "amount") return LayoutCell::Amount;
    if (cell == "integer") return LayoutCell::Integer;
    if (cell == "date") return LayoutCell::Date;
    if (cell == "none") return LayoutCell::None;
    item.Raise("'cell' inválido: '" + cell + "' (use auto, text, amount, integer, date ou none)");
  }

  // "widest": "money" for every placeholder of the item, or {"pAno": "9999", "pPag": "999"}.
  static std::vector<std::pair<std::string, std::string>> ReadWidest(JsonObjectReader& item,
                                                                     const json& value) {
    std::vector<std::pair<std::string, std::string>> widest;
    if (value.is_string()) {
      widest.emplace_back("", value.get<std::string>());
      return widest;
    }
    if (!value.is_object()) {
      item.Raise("'widest' deve ser um texto ou um objeto de textos por variável");
    }
    for (const auto& [name, sample] : value.items()) {
      if (!sample.is_string() || name.empty()) {
        item.Raise("'widest' deve ser um texto ou um objeto de textos por variável");
      }
      widest.emplace_back(name, sample.get<std::string>());
    }
    return widest;
  }

  std::string origin_;
};

}  // namespace

Layout ParseLayout(std::string_view json_text, const std::string& origin) {
  return LayoutParser(origin).Parse(json_text);
}

Layout LoadLayout(const std::string& path) {
  // A missing layout is a module named wrongly, or installed without its layout.
  return ParseLayout(ReadInputFile(path, "Layout", kMaxLayoutBytes), path);
}

}  // namespace nrw
