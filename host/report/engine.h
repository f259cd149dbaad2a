// The report engine behind TnrwReport: the layout, the parameter panel, the main dataset, the page
// model, the message page, the layout objects' captions and properties, and the trace. It places
// sections on pages and raises the report's section events. The engine owns the panel, the main
// dataset and the pages; the layout is shared read-only; the trace sink and the progress listener
// are borrowed from whoever runs the report.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "layout/layout.h"
#include "layout/page_model.h"
#include "nrw/dataset.h"
#include "nrw/datetime.h"
#include "nrw/report.h"
#include "nrwhost/message_page.h"
#include "nrwhost/trace.h"
#include "report/engine_expressions.h"
#include "report/report_host.h"

namespace nrw {

class TnReportEngine {
 public:
  //! An engine with an empty layout (no sections), for reports that print nothing.
  TnReportEngine();
  explicit TnReportEngine(std::shared_ptr<const Layout> layout);
  ~TnReportEngine();
  TnReportEngine(const TnReportEngine&) = delete;
  TnReportEngine& operator=(const TnReportEngine&) = delete;

  //! Called by TnrwReport: the report whose events the engine raises.
  void Attach(TnrwReport& report) { report_ = &report; }

  const Layout& GetLayout() const { return *layout_; }
  std::shared_ptr<const Layout> SharedLayout() const { return layout_; }
  TnpqPowerParam& Panel() { return panel_; }
  TnClientDataSet& MainDataSet() { return *main_; }
  //! The main dataset becomes a cursor on the rows of source, with its index (source may go).
  void SetMainRows(TnClientDataSet& source);
  const PageModel& Pages() const { return pages_; }
  //! Forgets the printed pages (a new separated part starts at page 1).
  void ClearPages();
  //! Borrowed; each finished page goes to the sink instead of being kept (nullptr: pages are kept).
  void SetPageSink(PageSink* sink) { pages_.SetSink(sink); }
  //! Hands the page being printed to the sink: the report has ended.
  void FinishPages() { pages_.Finish(); }
  const MessagePage& Messages() const { return messages_; }

  //! Borrowed; nullptr: no trace.
  void SetTrace(TraceSink* sink) { trace_ = sink; }
  TraceSink* Trace() const { return trace_; }
  //! While on, module actions are recorded; host work (panel building, its own statements) is not.
  bool Tracing() const { return tracing_; }
  void SetTracing(bool on) { tracing_ = on; }
  //! True while events are recorded: tracing is on and there is a sink.
  bool Recording() const { return tracing_ && trace_ != nullptr; }
  //! Records the line make() builds, when recording; otherwise nothing is built.
  template <class MakeLine>
  void Emit(MakeLine&& make) const {
    if (Recording()) trace_->Line(make());
  }
  //! Records the line whenever there is a sink (parts, the final error).
  void EmitAlways(const std::string& line) const;

  using ProgressListener = std::function<void(int position, int total)>;
  void SetProgressListener(ProgressListener listener) { progress_ = std::move(listener); }
  //! The date "[@DATA]" shows; today unless set.
  void SetToday(TDateTime today) { today_ = today; }

  bool GerandoSeparado() const { return producing_parts_; }
  void SetGerandoSeparado(bool on) { producing_parts_ = on; }

  // The report operations (TnrwReport forwards to these).
  void PrintSection(int number);
  bool IsPageEnd() const { return page_end_; }
  void SetPageEnd(bool on);
  void EndOfPage(bool on);
  bool CanPrint(const std::vector<std::pair<int, int>>& pairs);
  void ShowProgress(int position, int total);
  void ConfigureMessages(const std::vector<std::string>& captions);
  //! A message of the module: its subject is the layout's "message_subject" as the values stand,
  //! or the part's.
  void AddMessage(int kind, const std::string& text);
  //! A message whose subject the host knows (a company of the message list); subject_only: the
  //! text only repeats the subject's code and is not shown beside it.
  void AddMessage(int kind, const std::string& text, const std::string& subject, bool subject_only);
  //! Messages sent from now on belong to the separated part ("pCodigoEmpresa=4") and, when nothing
  //! else names their subject, are about it (subject); empty texts: no part.
  void SetMessagePart(std::string part, std::string subject);
  //! The messages sent since the pages were last cleared: those of the document being printed.
  std::vector<MessageEntry> DocumentMessages() const;
  //! "Empresa 4 - NAME" for a company code.
  std::string CompanySubject(int64_t code);
  void SetObjectCaption(const std::string& object, const std::string& caption);
  void SetObjectProperty(const std::string& object, const std::string& property,
                         const std::string& value);

  //! Text of a [NAME] placeholder: a panel value, then "@PAGINA", "@TITULO", "@RELATORIO",
  //! "@DATA", then a field of the main dataset's current record; empty otherwise. "[NAME:mask]"
  //! formats a panel value that is a date with the date mask, a number with the number mask.
  std::string PlaceholderValue(std::string_view name);
  std::string MainFieldText(std::string_view name);

 private:
  struct ObjectState {
    std::optional<std::string> caption;
    bool enabled = true;
    bool visible = true;
  };
  class ValueTracer : public TnValueObserver {
   public:
    explicit ValueTracer(TnReportEngine& engine) : engine_(engine) {}
    void ValueWritten(const std::string& name, const std::string& value) override;

   private:
    TnReportEngine& engine_;
  };

  //! What a section shows with the values as they stand: its texts and the items hidden.
  struct SectionContent {
    std::vector<std::string> texts;
    std::vector<bool> hidden;
  };
  //! A band on the current page below its headings, with the bands it still keeps with.
  struct Band {
    int number = 0;
    const LayoutKeep* keep = nullptr;
    //! How many of the next bands it keeps with yet.
    int keeps_left = 0;
    //! The first band (an index of bands_) that goes to another page with it.
    size_t group = 0;
    //! It became the running group heading.
    bool heading = false;
  };
  SectionContent Content(const LayoutSection& section);
  //! The section's height as it would print now: its texts wrap and it grows by their rows.
  double MeasuredHeight(const LayoutSection& section);
  bool NeedsNewPage(const LayoutSection& section);
  //! Whether the section, printed now, is a group heading to repeat on later pages.
  bool IsGroupHeading(const LayoutSection& section);
  //! The bands at the foot of the page that keep with the section: taken off the page when they
  //! fit on a fresh one together with it (otherwise nothing moves).
  std::vector<PlacedSection> TakeKeptBands(const LayoutSection& next, std::vector<Band>& bands);
  //! A new page: its headings, the running group heading (unless the bands that open the page
  //! bring their own) and then the bands moved from the page before.
  void StartPage(const LayoutSection* next = nullptr, std::vector<PlacedSection> moved = {},
                 std::vector<Band> moved_bands = {});
  void RaiseAndPlace(const LayoutSection& section, bool automatic);
  void Place(const LayoutSection& section, bool automatic);
  //! Keeps the band's place among the page's bands and what it keeps with.
  void NoteBand(const LayoutSection& section, bool heading);
  double FreshPageBody();

  std::shared_ptr<const Layout> layout_;
  std::vector<const LayoutSection*> headings_;
  TnrwReport* report_ = nullptr;
  TnpqPowerParam panel_;
  ValueTracer value_tracer_{*this};
  std::unique_ptr<TnClientDataSet> main_;
  PageModel pages_;
  MessagePage messages_;
  std::map<std::string, ObjectState> objects_;
  EngineExpressions expressions_;
  TraceSink* trace_ = nullptr;
  bool tracing_ = false;
  ProgressListener progress_;
  std::optional<TDateTime> today_;
  bool producing_parts_ = false;
  bool page_end_ = false;
  //! A band was placed on the current page (a page of headings only never breaks again).
  bool page_has_band_ = false;
  //! Page headings are being printed: nothing printed meanwhile starts another page.
  bool starting_page_ = false;
  //! The bands of the current page, in the order placed.
  std::vector<Band> bands_;
  //! Sections printed "once_per_page" on the current page.
  std::vector<int> once_on_page_;
  //! The last group heading printed (LayoutSection::repeat), as it was printed.
  std::optional<PlacedSection> running_heading_;
  //! The variable "[@PAGINAS:VARIABLE]" counts the pages by.
  std::string group_page_variable_;
  //! The first message of the document being printed.
  size_t first_document_message_ = 0;
  std::string message_part_;
  std::string message_part_subject_;
};

//! Sets a flag for the guard's lifetime and restores the previous value on every exit path.
class FlagRestore {
 public:
  FlagRestore(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~FlagRestore() { flag_ = saved_; }
  FlagRestore(const FlagRestore&) = delete;
  FlagRestore& operator=(const FlagRestore&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

//! Stops recording for the guard's lifetime (host work in the middle of a run).
class TracePause {
 public:
  explicit TracePause(TnReportEngine& engine) : engine_(engine), saved_(engine.Tracing()) {
    engine_.SetTracing(false);
  }
  ~TracePause() { engine_.SetTracing(saved_); }
  TracePause(const TracePause&) = delete;
  TracePause& operator=(const TracePause&) = delete;

 private:
  TnReportEngine& engine_;
  bool saved_;
};

}  // namespace nrw
