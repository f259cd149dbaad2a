#include <filesystem>
#include <memory>
#include <optional>

#include "layout/layout_loader.h"
#include "layout/message_pages.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "nrwhost/session.h"
#include "render/page_spool.h"
#include "render/page_writer.h"
#include "report/company_rights.h"
#include "report/engine.h"
#include "report/module_loader.h"
#include "report/panel_builder.h"
#include "report/panel_describe.h"
#include "report/panel_lookup.h"
#include "report/panel_values.h"
#include "report/report_host.h"
#include "report/trace_events.h"
#include "run/handed_datasets.h"
#include "run/main_dataset.h"
#include "run/separators.h"
#include "run/sql_trace.h"
#include "run/statement_origin.h"

namespace nrw {

// Members are declared in the order they are made and freed in reverse: the instance and the report
// hold handlers whose code lives in the module, so both go before it.
struct RunSession::Impl {
  //! Who sends the layout's statements and the module's, as messages name them.
  std::string layout_name;
  std::string module_name;
  std::shared_ptr<const Layout> layout;
  std::unique_ptr<LoadedModule> module;
  std::unique_ptr<TnrwReport> report;
  std::unique_ptr<TnrwBaseDll> panel_instance;
  std::optional<SqlTraceBinding> sql_trace;
  TDateTime today;
  //! What every document the session writes shares (the PDF faces, read once).
  WriterResources writer_resources;

  TnReportEngine& Engine() const { return ReportHost::Engine(*report); }

  //! A run as a user reads only the user's companies: the panel's company selections are confined
  //! before anything is read (host work, not the module's: not traced).
  void ConfineToUser() {
    const TracePause host_work(Engine());
    ConfineToUserCompanies(*layout, report->GetParams());
  }
};

namespace {

// The message page of the document the engine printed last, after its pages.
std::vector<Page> DocumentMessagePages(const TnReportEngine& engine, const Layout& layout) {
  return MessagePages(layout, MessageCaption(engine.Messages().captions), engine.DocumentMessages(),
                      engine.Pages().PageNumber() + 1);
}

// Hands each finished page to a writer of the document's format.
class WriterSink final : public PageSink {
 public:
  explicit WriterSink(PageWriter& writer) : writer_(writer) {}
  void PageDone(Page&& page) override { writer_.Draw(page); }

 private:
  PageWriter& writer_;
};

// The document printed while the scope lives goes to out. Pages are drawn as they are finished,
// unless the layout prints the page count: those wait in a spool and are drawn at the end.
class StreamedPages {
 public:
  StreamedPages(TnReportEngine& engine, const Layout& layout, std::ostream& out,
                OutputFormat format, WriterResources& resources)
      : engine_(engine), writer_(MakePageWriter(format, layout, out, &resources)) {
    if (CountsPages(layout) && writer_->ShowsPageCount()) {
      spool_.emplace(layout);
      engine_.SetPageSink(&*spool_);
    } else {
      sink_.emplace(*writer_);
      engine_.SetPageSink(&*sink_);
    }
  }
  ~StreamedPages() { engine_.SetPageSink(nullptr); }
  StreamedPages(const StreamedPages&) = delete;
  StreamedPages& operator=(const StreamedPages&) = delete;

  //! The report ended: its last page is handed over, the message page follows and the document
  //! ends.
  void Finish(const Layout& layout) {
    engine_.FinishPages();
    if (spool_) spool_->Replay(*writer_);
    for (const Page& page : DocumentMessagePages(engine_, layout)) writer_->Draw(page);
    writer_->Finish();
  }

 private:
  TnReportEngine& engine_;
  std::unique_ptr<PageWriter> writer_;
  std::optional<WriterSink> sink_;
  std::optional<PageSpool> spool_;
};

// "Empresas 4, Beneficiários 123.456.789-09": a part as a person reads it.
std::string PartSubject(const Layout& layout, const SeparatorPart& part) {
  std::string subject;
  for (const auto& [name, value] : part.values) {
    const LayoutParam* param = layout.FindParam(name);
    subject +=
        (subject.empty() ? "" : ", ") + (param != nullptr ? param->caption : name) + " " + value;
  }
  return subject;
}

std::string PartValues(const SeparatorPart& part) {
  std::string values;
  for (const auto& [name, value] : part.values) {
    values += (values.empty() ? "" : ", ") + name + "=" + value;
  }
  return values;
}

std::shared_ptr<const Layout> LoadOrEmpty(const std::string& path) {
  if (path.empty()) return std::make_shared<const Layout>();
  return std::make_shared<const Layout>(LoadLayout(path));
}

}  // namespace

RunSession::RunSession(const SessionOptions& options) : impl_(std::make_unique<Impl>()) {
  // The module first: a path that is not a module is said so, not that it has no layout.
  impl_->module = std::make_unique<LoadedModule>(options.module_path);
  impl_->layout = LoadOrEmpty(options.layout_path);
  const TnrwBaseDllClass& report_class = impl_->module->ReportClass();
  impl_->report = ReportHost::Make(std::make_unique<TnReportEngine>(impl_->layout));
  TnReportEngine& engine = impl_->Engine();
  const TDateTime today = options.today.value_or(Date());
  impl_->today = today;
  engine.SetTrace(options.trace);
  engine.SetProgressListener(options.progress);
  engine.SetToday(today);

  impl_->layout_name = "O layout " + std::filesystem::path(options.layout_path).filename().string();
  impl_->module_name = "O módulo " + std::filesystem::path(options.module_path).stem().string();
  NamingWhoSentStatements(impl_->module_name, [&] {
    impl_->panel_instance = report_class.Create(*impl_->report);
    BuildPanel(*impl_->layout, *impl_->panel_instance, Panel(), today);
    ApplyParams(options.params);
  });
}

RunSession::~RunSession() {
  impl_->sql_trace.reset();
  impl_->panel_instance.reset();
  impl_->report.reset();
  impl_->module.reset();
}

const std::string& RunSession::ReportName() const { return impl_->layout->report; }

TnrwReport& RunSession::Report() { return *impl_->report; }

TnpqPowerParam& RunSession::Panel() { return impl_->report->GetParams(); }

TnrwBaseDll& RunSession::PanelInstance() { return *impl_->panel_instance; }

const TnrwBaseDllClass& RunSession::ReportClass() const { return impl_->module->ReportClass(); }

void RunSession::ApplyParams(const std::vector<ParamSetting>& settings) {
  ApplyParamSettings(*impl_->layout, settings, *impl_->panel_instance, Panel());
}

void RunSession::PanelEvent(PanelEventKind kind, const std::string& name,
                            const std::optional<std::string>& value) {
  ApplyPanelEvent(*impl_->layout, kind, name, value, *impl_->panel_instance, Panel());
}

std::vector<LookupCandidate> RunSession::Lookup(const std::string& name, const std::string& text,
                                                size_t limit) const {
  const PanelDescription description = nrw::DescribePanel(
      *impl_->layout, impl_->panel_instance->Versao(), impl_->report->GetParams(), impl_->today);
  for (const PanelItemDescription& item : description.items) {
    if (!SameText(item.name, name) || item.variable) continue;
    if (!item.lookup) throw UsageError("Parâmetro " + name + " não tem lista de valores.");
    return ListLookup(*item.lookup, text, limit);
  }
  throw UsageError("Parâmetro '" + name + "' não existe no painel.");
}

void RunSession::StartTracing() {
  impl_->Engine().SetTracing(true);
  if (!impl_->sql_trace) impl_->sql_trace.emplace(impl_->Engine());
}

void RunSession::OpenData() {
  impl_->ConfineToUser();
  NamingWhoSentStatements(impl_->layout_name, [this] { OpenMainDataSet(impl_->Engine()); });
  impl_->Engine().ClearPages();
}

int RunSession::Print() {
  OpenData();
  std::optional<HandedDataSets> handed;
  NamingWhoSentStatements(impl_->layout_name, [&] { handed.emplace(impl_->Engine()); });
  // A module may switch the SQL conversion off for its run; the next run starts with it as it was.
  bool& conversion = PodeOnSQLConverte();
  const ScopeExit conversion_back([&conversion, before = conversion] { conversion = before; });
  NamingWhoSentStatements(impl_->module_name,
                          [this] { impl_->module->Imprimir(impl_->report->Handle()); });
  handed->CheckEmptied();
  return PageCount();
}

int RunSession::Print(std::ostream& out, OutputFormat format) {
  StreamedPages pages(impl_->Engine(), *impl_->layout, out, format, impl_->writer_resources);
  const int count = Print();
  pages.Finish(*impl_->layout);
  return count;
}

int RunSession::PageCount() const { return impl_->Engine().Pages().PageNumber(); }

void RunSession::WritePages(std::ostream& out, OutputFormat format) const {
  nrw::WritePages(format, *impl_->layout, impl_->Engine().Pages().Pages(), out,
                  &impl_->writer_resources, DocumentMessagePages(impl_->Engine(), *impl_->layout));
}

std::string RunSession::Title() const {
  return impl_->layout->title.empty() ? impl_->layout->report : impl_->layout->title;
}

MessagePage RunSession::Messages() const { return impl_->Engine().Messages(); }

void RunSession::ActivateSeparators(const std::vector<std::string>& params) {
  nrw::ActivateSeparators(*impl_->layout, params, Panel());
}

std::vector<SeparatorPart> RunSession::ListParts() {
  impl_->ConfineToUser();
  std::vector<SeparatorPart> parts;
  // The separators' statement is the layout's, as the module's hook may have amended it.
  NamingWhoSentStatements(impl_->layout_name + " (ou o seu módulo)",
                          [&] { parts = ListSeparatorParts(impl_->Engine()); });
  return parts;
}

bool RunSession::AskPart(const SeparatorPart& part) {
  // The question compares the panel's value with the list the module built from the column
  // values: a value that needs quoting as a selection would never match its own quoted text.
  ApplyPart(impl_->Engine(), part, PartText::Value);
  bool generate = true;
  // A copy: the handler may rebind the event while it runs.
  const auto ask = impl_->report->OnSeparatorValues;
  NamingWhoSentStatements(impl_->module_name, [&] { ask(*impl_->report, generate); });
  return generate;
}

int RunSession::PrintPart(const SeparatorPart& part) {
  TnReportEngine& engine = impl_->Engine();
  engine.Emit([&] { return trace::Part(part.values); });
  ApplyPart(engine, part);
  engine.SetMessagePart(PartValues(part), PartSubject(*impl_->layout, part));
  const ScopeExit no_part([&engine] { engine.SetMessagePart("", ""); });
  return Print();
}

int RunSession::PrintPart(const SeparatorPart& part, std::ostream& out, OutputFormat format) {
  StreamedPages pages(impl_->Engine(), *impl_->layout, out, format, impl_->writer_resources);
  const int count = PrintPart(part);
  pages.Finish(*impl_->layout);
  return count;
}

void RunSession::SetProducingParts(bool on) { impl_->Engine().SetGerandoSeparado(on); }

std::string RunSession::DescribePanel() const {
  return PanelJson(nrw::DescribePanel(*impl_->layout, impl_->panel_instance->Versao(),
                                      impl_->report->GetParams(), impl_->today));
}

std::string RunSession::DescribePanelMarkdown() const {
  return PanelMarkdown(nrw::DescribePanel(*impl_->layout, impl_->panel_instance->Versao(),
                                          impl_->report->GetParams(), impl_->today));
}

std::unique_ptr<TnrwReport> CreateEmptyReport() { return ReportHost::Make(); }

}  // namespace nrw
