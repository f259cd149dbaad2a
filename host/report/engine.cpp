#include "report/engine.h"

#include <algorithm>
#include <ctime>

#include "core/deadline.h"
#include "layout/page_count.h"
#include "layout/placeholders.h"
#include "layout/section_flow.h"
#include "nrw/format.h"
#include "report/report_host.h"
#include "report/trace_events.h"
#include "util/composed_text.h"
#include "util/name_key.h"

namespace nrw {
namespace {

// Heights are sums of decimal millimetres; a section that fits exactly must not break the page.
constexpr double kToleranceMm = 1e-6;

bool IsFalseText(const std::string& value) {
  return value == "False" || value == "false" || value == "FALSE" || value == "0";
}

// A panel value through a mask: dates with a date mask ("yyyy"), numbers with a number mask
// ("0000"); a value that is neither is shown as it is. Under a number mask an amount the module
// wrote with its currency ("R$ 1.234,56") is the number, and a blank value is zero: a column of
// amounts shows every line alike.
std::string MaskedValue(const std::string& value, std::string_view mask) {
  const bool date_mask = mask.find_first_of("dmy") != std::string_view::npos;
  if (date_mask) {
    if (const std::optional<TDateTime> date = TryStrToDate(value)) {
      return FormatDateTime(mask, *date);
    }
    return value;
  }
  std::string_view number_text = value;
  while (!number_text.empty() && number_text.front() == ' ') number_text.remove_prefix(1);
  if (number_text.rfind("R$", 0) == 0) number_text.remove_prefix(2);
  if (Trim(number_text).empty()) return FormatFloat(mask, 0);
  double number = 0;
  return TryStrToFloat(number_text, number) ? FormatFloat(mask, number) : value;
}

}  // namespace

TnReportEngine::TnReportEngine() : TnReportEngine(std::make_shared<const Layout>()) {}

TnReportEngine::TnReportEngine(std::shared_ptr<const Layout> layout)
    : layout_(std::move(layout)),
      headings_(layout_->PageHeadings()),
      main_(std::make_unique<TnClientDataSet>()),
      pages_(layout_->page.BodyHeight()) {
  PanelHost::SetObserver(panel_, &value_tracer_);
}

TnReportEngine::~TnReportEngine() { PanelHost::SetObserver(panel_, nullptr); }

void TnReportEngine::ValueTracer::ValueWritten(const std::string& name, const std::string& value) {
  engine_.Emit([&] { return trace::Set(name, value); });
}

void TnReportEngine::SetMainRows(TnClientDataSet& source) {
  main_->CloneCursor(source, false, true);
}

void TnReportEngine::ClearPages() {
  pages_.Clear();
  first_document_message_ = messages_.entries.size();
  page_end_ = false;
  page_has_band_ = false;
  bands_.clear();
  once_on_page_.clear();
  running_heading_.reset();
}

void TnReportEngine::EmitAlways(const std::string& line) const {
  if (trace_ != nullptr) trace_->Line(line);
}

// The page headings as they would print now: their texts may make them grow.
double TnReportEngine::FreshPageBody() {
  double headings_mm = 0;
  for (const LayoutSection* heading : headings_) headings_mm += MeasuredHeight(*heading);
  return layout_->page.BodyHeight() - headings_mm;
}

bool TnReportEngine::NeedsNewPage(const LayoutSection& section) {
  if (starting_page_) return false;
  if (!pages_.HasPage() || page_end_) return true;
  return page_has_band_ && MeasuredHeight(section) > pages_.Remaining() + kToleranceMm;
}

void TnReportEngine::PrintSection(int number) {
  // A module that prints without end (or long after its statements ran) stops at the time limit.
  Deadline::Check();
  // Sections below zero are the host's own (the message page), never a module's.
  const LayoutSection* section = number < 0 ? nullptr : layout_->FindSection(number);
  if (section == nullptr) {
    throw Exception("Seção " + std::to_string(number) + " não existe no layout de " +
                    layout_->report);
  }
  if (NeedsNewPage(*section)) {
    std::vector<Band> bands;
    std::vector<PlacedSection> kept = TakeKeptBands(*section, bands);
    StartPage(section, std::move(kept), std::move(bands));
  } else if (section->once_per_page &&
             std::find(once_on_page_.begin(), once_on_page_.end(), number) != once_on_page_.end()) {
    // Printed already on this page: the module's events still fire, nothing is placed.
    if (report_ != nullptr) {
      const auto before = report_->OnBeforeSection;
      before(number);
    }
    Emit([&] { return trace::Skipped(number, pages_.PageNumber()); });
    if (report_ != nullptr) {
      const auto after = report_->OnAfterSection;
      after(report_, number);
    }
    return;
  }
  RaiseAndPlace(*section, false);
}

bool TnReportEngine::IsGroupHeading(const LayoutSection& section) {
  if (!section.repeat.on) return false;
  return section.repeat.when.empty() || !Trim(PlaceholderValue(section.repeat.when)).empty();
}

std::vector<PlacedSection> TnReportEngine::TakeKeptBands(const LayoutSection& next,
                                                         std::vector<Band>& bands) {
  if (!pages_.HasPage() || bands_.empty()) return {};
  size_t group = bands_.size();
  for (const Band& band : bands_) {
    if (band.keeps_left > 0 && std::find(band.keep->sections.begin(), band.keep->sections.end(),
                                         next.number) != band.keep->sections.end()) {
      group = std::min(group, band.group);
    }
  }
  // Nothing keeps with it, or everything below the headings does: moving would leave a page of
  // headings alone.
  if (group == 0 || group >= bands_.size()) return {};
  const std::vector<PlacedSection>& placed = pages_.Pages().back().sections;
  const size_t count = bands_.size() - group;
  double needed_mm = MeasuredHeight(next);
  bool brings_heading = IsGroupHeading(next);
  for (size_t i = placed.size() - count; i < placed.size(); ++i) {
    needed_mm += placed[i].flow.height_mm;
  }
  for (size_t i = group; i < bands_.size(); ++i) brings_heading |= bands_[i].heading;
  if (running_heading_ && !brings_heading) needed_mm += running_heading_->flow.height_mm;
  if (needed_mm > FreshPageBody() + kToleranceMm) return {};

  bands.assign(bands_.begin() + static_cast<std::ptrdiff_t>(group), bands_.end());
  for (Band& band : bands) band.group -= std::min(band.group, group);
  bands_.resize(group);
  std::vector<int> numbers;
  for (const Band& band : bands) numbers.push_back(band.number);
  Emit([&] { return trace::Keep(numbers, pages_.PageNumber() + 1); });
  return pages_.TakeLast(count);
}

void TnReportEngine::StartPage(const LayoutSection* next, std::vector<PlacedSection> moved,
                               std::vector<Band> moved_bands) {
  pages_.StartPage();
  page_end_ = false;
  page_has_band_ = false;
  bands_.clear();
  once_on_page_.clear();
  {
    const FlagRestore starting(starting_page_, true);
    for (const LayoutSection* heading : headings_) RaiseAndPlace(*heading, true);
    bool brings_heading = next != nullptr && IsGroupHeading(*next);
    for (const Band& band : moved_bands) brings_heading |= band.heading;
    if (running_heading_ && !brings_heading) {
      PlacedSection repeated = *running_heading_;
      repeated.repeated = true;
      pages_.Place(std::move(repeated));
      Emit([&] { return trace::Repeat(running_heading_->number, pages_.PageNumber()); });
    }
  }
  for (PlacedSection& section : moved) {
    pages_.Place(std::move(section));
    page_has_band_ = true;
  }
  bands_ = std::move(moved_bands);
}

void TnReportEngine::RaiseAndPlace(const LayoutSection& section, bool automatic) {
  // Handlers may replace or clear the events while they run; each call works on a copy.
  if (report_ != nullptr) {
    const auto before = report_->OnBeforeSection;
    before(section.number);
  }
  Place(section, automatic);
  if (report_ != nullptr) {
    const auto after = report_->OnAfterSection;
    after(report_, section.number);
  }
}

TnReportEngine::SectionContent TnReportEngine::Content(const LayoutSection& section) {
  SectionContent content;
  content.texts.resize(section.items.size());
  const PlaceholderLookup lookup = [this](std::string_view name) { return PlaceholderValue(name); };
  const ExpressionResolver resolver = [this](std::string_view function,
                                             const std::vector<std::string>& args) {
    return expressions_.Evaluate(function, args);
  };
  for (size_t i = 0; i < section.items.size(); ++i) {
    const LayoutItem& item = section.items[i];
    const ObjectState* state = nullptr;
    if (!item.name.empty() && !objects_.empty()) {
      const auto found = objects_.find(NameKey(item.name));
      if (found != objects_.end()) state = &found->second;
    }
    if (state != nullptr && !(state->enabled && state->visible)) {
      if (content.hidden.empty()) content.hidden.resize(section.items.size());
      content.hidden[i] = true;
    }
    if (item.type == LayoutItemType::Text || item.type == LayoutItemType::Label) {
      const std::string& text =
          state != nullptr && state->caption.has_value() ? *state->caption : item.text;
      content.texts[i] = ComposedText(ExpandPlaceholders(text, lookup, resolver));
    }
  }
  return content;
}

double TnReportEngine::MeasuredHeight(const LayoutSection& section) {
  const SectionContent content = Content(section);
  return FlowedHeight(section, content.texts, content.hidden, layout_->grid);
}

void TnReportEngine::Place(const LayoutSection& section, bool automatic) {
  SectionContent content = Content(section);
  PlacedSection placed =
      FlowedSection(section, std::move(content.texts), std::move(content.hidden), layout_->grid);
  if (!group_page_variable_.empty()) {
    for (const std::string& text : placed.texts) {
      if (text.find(kGroupPageCountMarker) == std::string::npos) continue;
      int64_t number = 0;
      TryStrToInt(Trim(PlaceholderValue(group_page_variable_)), number);
      pages_.SetGroupPage(static_cast<int>(number));
      break;
    }
  }
  const bool heading = !starting_page_ && IsGroupHeading(section);
  if (heading) running_heading_ = placed;
  pages_.Place(std::move(placed));
  if (section.once_per_page) once_on_page_.push_back(section.number);
  if (!starting_page_) {
    page_has_band_ = true;
    NoteBand(section, heading);
  }
  Emit([&] { return trace::Print(section.number, pages_.PageNumber(), automatic); });
}

void TnReportEngine::NoteBand(const LayoutSection& section, bool heading) {
  size_t group = bands_.size();
  for (Band& band : bands_) {
    if (band.keeps_left <= 0) continue;
    if (std::find(band.keep->sections.begin(), band.keep->sections.end(), section.number) !=
        band.keep->sections.end()) {
      group = std::min(group, band.group);
      --band.keeps_left;
    } else {
      band.keeps_left = 0;
    }
  }
  Band band;
  band.number = section.number;
  band.keep = &section.keep_with_next;
  band.keeps_left = section.keep_with_next.sections.empty() ? 0 : section.keep_with_next.count;
  band.group = group;
  band.heading = heading;
  bands_.push_back(band);
}

// A field of the main dataset's current record: "[FIELD]" prints amounts with the money mask and
// dates as "dd/mm/yyyy"; "[FIELD:mask]" prints a number with the mask given.
std::string TnReportEngine::MainFieldText(std::string_view name) {
  const size_t colon = name.find(':');
  TField* field = main_->FindField(name.substr(0, colon));
  if (field == nullptr || field->IsNull()) return "";
  if (colon != std::string_view::npos) {
    return FormatFloat(name.substr(colon + 1), field->AsFloat());
  }
  switch (field->DataType()) {
    case TFieldType::Float:
      return FormatFloat("#,##0.00", field->AsFloat());
    case TFieldType::Date:
      return DateToStr(field->AsDateTime());
    default:
      return field->AsString();
  }
}

std::string TnReportEngine::PlaceholderValue(std::string_view name) {
  if (const TnpqParamItem* item = panel_.FindParam(name)) return item->GetAsString();
  if (const size_t colon = name.find(':'); colon != std::string_view::npos) {
    if (const TnpqParamItem* item = panel_.FindParam(name.substr(0, colon))) {
      return MaskedValue(item->GetAsString(), name.substr(colon + 1));
    }
  }
  if (!name.empty() && name.front() == '@') {
    const std::string key = NameKey(name);
    if (key == "@pagina") return std::to_string(pages_.PageNumber());
    // The count is known only when the document is written; the renderer puts it in place.
    if (key == "@paginas") return std::string(kPageCountMarker);
    if (key.rfind("@paginas:", 0) == 0) {
      group_page_variable_ = std::string(name.substr(9));
      return std::string(kGroupPageCountMarker);
    }
    if (key == "@titulo") return layout_->title;
    if (key == "@relatorio") return layout_->report;
    if (key == "@data") return DateToStr(today_.value_or(Date()));
  }
  return MainFieldText(name);
}

void TnReportEngine::SetPageEnd(bool on) {
  page_end_ = on;
  if (on) Emit([&] { return trace::PageEnd(); });
}

void TnReportEngine::EndOfPage(bool on) {
  page_end_ = on;
  if (on) Emit([&] { return trace::EndOfPage(); });
}

bool TnReportEngine::CanPrint(const std::vector<std::pair<int, int>>& pairs) {
  double needed_mm = 0;
  for (const auto& [number, lines] : pairs) {
    if (lines <= 0) continue;
    if (const LayoutSection* section = layout_->FindSection(number)) {
      needed_mm += MeasuredHeight(*section) * lines;
    }
  }
  const bool fresh = !pages_.HasPage() || page_end_;
  const double available_mm = fresh ? FreshPageBody() : pages_.Remaining();
  const bool fits = needed_mm <= available_mm + kToleranceMm;
  Emit([&] { return trace::CanPrint(pairs, fits); });
  return fits;
}

void TnReportEngine::ShowProgress(int position, int total) {
  Emit([&] { return trace::Progress(position, total); });
  if (progress_) progress_(position, total);
}

void TnReportEngine::ConfigureMessages(const std::vector<std::string>& captions) {
  messages_.captions = captions;
  Emit([&] { return trace::MsgConfig(captions); });
}

void TnReportEngine::AddMessage(int kind, const std::string& text) {
  std::string subject;
  if (!layout_->message_subject.empty()) {
    const PlaceholderLookup lookup = [this](std::string_view name) {
      return PlaceholderValue(name);
    };
    const ExpressionResolver resolver = [this](std::string_view function,
                                               const std::vector<std::string>& args) {
      return expressions_.Evaluate(function, args);
    };
    subject = Trim(ExpandPlaceholders(layout_->message_subject, lookup, resolver));
  }
  if (subject.empty()) subject = message_part_subject_;
  messages_.entries.push_back({kind, text, subject, message_part_});
  Emit([&] { return trace::Message(kind, text); });
}

void TnReportEngine::AddMessage(int kind, const std::string& text, const std::string& subject,
                                bool subject_only) {
  messages_.entries.push_back({kind, subject_only ? std::string() : text, subject, message_part_});
  Emit([&] { return trace::Message(kind, text); });
}

void TnReportEngine::SetMessagePart(std::string part, std::string subject) {
  message_part_ = std::move(part);
  message_part_subject_ = std::move(subject);
}

std::vector<MessageEntry> TnReportEngine::DocumentMessages() const {
  const size_t first = std::min(first_document_message_, messages_.entries.size());
  return {messages_.entries.begin() + static_cast<std::ptrdiff_t>(first), messages_.entries.end()};
}

std::string TnReportEngine::CompanySubject(int64_t code) {
  const std::string name = expressions_.Evaluate("gemVNomeEmpresa", {IntToStr(code)});
  return "Empresa " + IntToStr(code) + (name.empty() ? "" : " - " + name);
}

void TnReportEngine::SetObjectCaption(const std::string& object, const std::string& caption) {
  objects_[NameKey(object)].caption = caption;
  Emit([&] { return trace::Caption(object, caption); });
}

void TnReportEngine::SetObjectProperty(const std::string& object, const std::string& property,
                                       const std::string& value) {
  ObjectState& state = objects_[NameKey(object)];
  if (SameText(property, "Enabled")) {
    state.enabled = !IsFalseText(value);
  } else if (SameText(property, "Visible")) {
    state.visible = !IsFalseText(value);
  } else if (SameText(property, "Caption")) {
    state.caption = value;
  }
  Emit([&] { return trace::Property(object, property, value); });
}

}  // namespace nrw
