// Application API: one run of a report module, the way `nrw run`, `nrw panel` and the tests do it.
// A RunSession loads the layout and the module, makes the report, builds its parameter panel
// through the report class's hooks and applies the user's values; it then prints the report (once,
// or once per separated part) and draws the pages. RunReport is the whole run with its outputs.
// Everything here runs on one thread; the session owns the module, the report and the panel's
// instance of the report class, and frees them in the reverse order.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "nrw/api.h"
#include "nrw/datetime.h"
#include "nrw/module.h"
#include "nrw/report.h"
#include "nrw/variant.h"
#include "nrwhost/files.h"
#include "nrwhost/message_page.h"
#include "nrwhost/output_format.h"
#include "nrwhost/trace.h"

namespace nrw {

//! A value the user gives a parameter of the panel.
struct ParamSetting {
  std::string name;
  std::string value;
};

//! What a person does at one item of the panel.
enum class PanelEventKind { Enter, Change, Exit };

//! A candidate value of a lookup, with its text (the name beside a code).
struct LookupCandidate {
  std::string value;
  std::string text;
};

//! (position, total) whenever the module reports progress.
using ProgressListener = std::function<void(int position, int total)>;

struct SessionOptions {
  std::string module_path;
  //! The module's layout; empty: an empty layout (no sections, no parameters).
  std::string layout_path;
  //! The user's parameter values, in the order given.
  std::vector<ParamSetting> params;
  //! Today for the defaults' markers and "[@DATA]"; the system date when empty.
  std::optional<TDateTime> today;
  //! Borrowed; nullptr: no trace.
  TraceSink* trace = nullptr;
  ProgressListener progress;
};

//! One combination of separator values: (parameter name, value) per active separator.
struct SeparatorPart {
  std::vector<std::pair<std::string, std::string>> values;
  //! The other columns of the part's listing row (the first row of its value), by the names the
  //! layout's separator fields give them: what describes the part (the beneficiary's name).
  std::vector<std::pair<std::string, Variant>> row;
};

class NRW_API RunSession {
 public:
  //! Loads the layout and the module, makes the report and builds its panel (items,
  //! AntesConfigurar, edit controls, DepoisConfigurar), then applies the options' values through
  //! the panel instance's hooks. Raises Exception on any failure.
  explicit RunSession(const SessionOptions& options);
  ~RunSession();
  RunSession(const RunSession&) = delete;
  RunSession& operator=(const RunSession&) = delete;

  //! The layout's report name.
  const std::string& ReportName() const;
  TnrwReport& Report();
  TnpqPowerParam& Panel();
  //! The panel's own instance of the report class (the one whose hooks built the panel).
  TnrwBaseDll& PanelInstance();
  const TnrwBaseDllClass& ReportClass() const;

  //! The values in the layout's order, as a person fills the panel from top to bottom, whatever the
  //! order given: each checked against its declaration and its editor (a date converted to
  //! "dd/mm/aaaa"), then DoParamEnter, the value written and the item marked as restricting the
  //! selection, DoParamChange, DoParamExit; a name given twice takes its last value. Raises
  //! UsageError naming the parameter for a name the layout does not declare, a value that does not
  //! pass, a value for a parameter the hooks leave disabled, and for a run as a user a company that
  //! is not the user's.
  void ApplyParams(const std::vector<ParamSetting>& settings);
  //! One event at the panel, through the panel instance's hooks as the form fires them: Enter
  //! (DoParamEnter), Change (the value checked as ApplyParams checks it, written, the item marked
  //! as restricting the selection, DoParamChange; nullopt clears it, unchecked), Exit
  //! (DoParamExit). Raises UsageError naming the parameter for a name the layout does not declare,
  //! a value that does not pass, a change to an item the hooks leave disabled, and for a run as a
  //! user a company that is not the user's; the panel is then as it was before the change.
  void PanelEvent(PanelEventKind kind, const std::string& name,
                  const std::optional<std::string>& value);
  //! The candidates of the item's lookup (DescribePanel's statement: the dictionary entry's table,
  //! the module's filter, the user's companies) whose value or text holds text (case-insensitive;
  //! digits alone also match the value's digits), at most limit, in the statement's order. Raises
  //! UsageError for an item without a lookup.
  std::vector<LookupCandidate> Lookup(const std::string& name, const std::string& text,
                                      size_t limit) const;
  //! From here on the module's actions (values, prints, statements...) are recorded on the trace;
  //! building the panel is not.
  void StartTracing();

  //! Opens the main dataset for the panel's current values and starts a fresh page model. For a run
  //! as a user (DefinirUsuarioAtual) the panel's company selections are first confined to the
  //! user's companies (an empty one selects all of them; UsageError for a user without companies).
  void OpenData();
  //! OpenData, then Imprimir with the report's handle (a new instance of the class runs the body);
  //! answers the pages printed. The pages are kept for WriteText.
  int Print();
  //! Print, each page drawn into out as a document of the format as soon as it is finished and
  //! then dropped: memory holds the page being printed, not the document. A layout that prints the
  //! page count ("[@PAGINAS]") keeps the pages until the end, when the count is known.
  int Print(std::ostream& out, OutputFormat format = OutputFormat::Text);
  //! Pages printed since the last OpenData.
  int PageCount() const;
  //! The printed pages kept by Print() drawn as one document of the format ("[@PAGINAS]" counts
  //! these pages).
  void WritePages(std::ostream& out, OutputFormat format) const;
  //! The printed pages kept by Print() drawn as text.
  void WriteText(std::ostream& out) const { WritePages(out, OutputFormat::Text); }
  //! The layout's title, or the report's name when it has none.
  std::string Title() const;
  MessagePage Messages() const;

  //! Puts the layout's separators of the parameters on the panel, active, in the given order.
  void ActivateSeparators(const std::vector<std::string>& params);
  //! Asks the panel's separator-SQL event per active separator and combines the candidate values.
  //! For a run as a user, the company selections are confined first (as OpenData), and a company
  //! separator's values are only the user's companies.
  std::vector<SeparatorPart> ListParts();
  //! Writes the part's values on the panel (restricting the selection) and asks the report's
  //! separator-values event whether it is produced.
  bool AskPart(const SeparatorPart& part);
  //! Writes the part's values on the panel, records the part on the trace and prints it.
  int PrintPart(const SeparatorPart& part);
  //! PrintPart, the pages drawn into out as they are finished (as Print(out)).
  int PrintPart(const SeparatorPart& part, std::ostream& out,
                OutputFormat format = OutputFormat::Text);
  //! While on, the report says that separated parts are being produced.
  void SetProducingParts(bool on);

  //! The panel as a person would see it, as JSON text: per item its name, caption, type (date,
  //! month, year, integer, decimal, text, option_list, selection), value, default, enabled,
  //! visible, checked, range {min, max}, options [{value, text}], whether it can split, its
  //! dictionary entry and, for entries the host knows, the lookup that lists its candidates
  //! (table, columns, the module's filter restricted to the current user's companies, statement).
  std::string DescribePanel() const;
  //! The panel's parameters as a Markdown table in Portuguese (name, caption, type, accepted
  //! values, the layout's default, whether it splits): the user's guide's parameter reference.
  std::string DescribePanelMarkdown() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

//! What a run tells of each part as it is done (progress) and what it reports of it at the end.
struct PartResult;

//! One run divided among several: this run produces the parts whose stable hash of their values
//! falls to index (1..count).
struct ShardSpec {
  int index = 1;
  int count = 1;
};

//! The run's manifest (docs/manifest.md): a record of every part, written with the outputs.
struct ManifestOptions {
  //! ".jsonl" or ".csv"; empty: no manifest.
  std::string path;
  //! The program and its version ("nrw 0.1.0").
  std::string program;
  //! The database as it may be shown (no password).
  std::string database;
  std::optional<int> user;
  //! The folder relative paths are taken from (absolute); empty: the current one.
  std::string base;
};

//! The parts a parallel run's workers produced, handed back to the run that commits them: given
//! the run's parts (every one, with its planned output and whether it is to be produced), answers
//! one result per part whose files lie under their temporary names until the run commits them.
//! Raises Exception (naming the part) when a worker failed.
using PartDelegate = std::function<std::vector<PartResult>(const std::vector<PartResult>& plan)>;

struct RunOptions : SessionOptions {
  //! Parameters whose separators split the run into parts, in the order given.
  std::vector<std::string> split;
  //! Output file, or with separators a name pattern with {PARAM} placeholders; "-": stdout, printed
  //! only when the whole run succeeded. Empty: the pages go to stream (when there is one).
  std::string output;
  std::ostream* stream = nullptr;
  //! The document's format; empty: by the output's extension (text for any other, and for the
  //! stream).
  std::optional<OutputFormat> format;
  //! PDF outputs only: each file encrypted with the password this template gives for its part.
  //! "{NAME}" is a parameter's value, "{NAME:digits}" only its digits, "{NAME:digits:5}" its
  //! first five digits. Empty: not protected.
  std::string password;
  //! PDF outputs only: a folder that also receives an unprotected archival copy (PDF/A-2b) of
  //! every file, under the same name. Empty: no copies.
  std::string archive_dir;
  //! Files no output may replace (the trace); the default connection's database is always kept.
  std::vector<std::string> protected_files;
  ManifestOptions manifest;
  //! This run's share of a run divided among several; none: every part.
  std::optional<ShardSpec> shard;
  //! A worker of a parallel run: produces only the parts whose number n (1-based among the run's
  //! parts) has (n - 1) % count == index - 1, and leaves their files under their temporary names
  //! for the run that started it to commit (PartResult::output_temp).
  std::optional<ShardSpec> worker;
  //! A worker whose parent writes a manifest: its outputs are hashed for it.
  bool worker_hashes = false;
  //! The parent of a parallel run: the parts to produce go to the delegate (workers), and their
  //! files are committed here with everything else.
  PartDelegate delegate;
  //! Called as each part is done (written, empty, refused), with the parts done and the total.
  std::function<void(const PartResult& part, size_t done, size_t total)> part_done;
};

enum class PartStatus {
  //! A file was written.
  Written,
  //! The part printed no page: no file.
  Empty,
  //! The module's separator answer said not to produce it.
  Refused,
  //! Another shard's or another worker's.
  Elsewhere,
};

//! "written", "empty", "refused" or "elsewhere": the status as manifests and progress name it.
NRW_API const char* PartStatusName(PartStatus status);

struct PartResult {
  //! 1-based place among the parts of the whole run (before it was divided into shards).
  size_t number = 0;
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<std::pair<std::string, Variant>> row;
  //! False when the module refused the part.
  bool produced = false;
  PartStatus status = PartStatus::Refused;
  int pages = 0;
  //! The file written; empty when the part went to the stream or was not written.
  std::string output;
  OutputFormat format = OutputFormat::Text;
  uint64_t bytes = 0;
  //! Lower-case hex of the file's SHA-256.
  std::string sha256;
  bool is_protected = false;
  //! The unprotected archival copy, and its SHA-256.
  std::string archive;
  std::string archive_sha256;
  //! A worker's files until the parent commits them (RunOptions::worker), and whether they have
  //! the mode of a new file already.
  std::string output_temp;
  std::string archive_temp;
  bool output_temp_new_file_mode = false;
  bool archive_temp_new_file_mode = false;
  //! The messages the part's run sent (its document's message page).
  std::vector<MessageEntry> messages;
};

struct RunResult {
  bool ok = false;
  //! The run was refused before it printed: a name, a value or an output the user gave is wrong
  //! (UsageError).
  bool usage_error = false;
  //! The message of the error that ended the run, one Portuguese line; empty when it succeeded.
  std::string error;
  //! What the error's source said (the database's message and statement, the system's text); for
  //! --verbose and the trace.
  std::string detail;
  //! Every message of the run, each with its subject and, in a run of parts, its part.
  MessagePage messages;
  //! Pages printed, over all parts.
  int pages = 0;
  //! Files written (only when the run succeeded).
  std::vector<std::string> outputs;
  //! One per candidate part; empty for a run without separators.
  std::vector<PartResult> parts;
  //! Parts of the whole run (before it was divided into shards).
  size_t run_parts = 0;
  //! The manifest written (only when the run succeeded).
  std::string manifest;
  //! The part whose production failed (its number), 0 when the failure was no part's.
  size_t failed_part = 0;
};

//! The whole run: a session, the print (or every part), the outputs written under temporary names
//! and put in place all together only when everything succeeded (files.h). Every output target is
//! checked before the first page is printed. Errors do not escape: they come back in the result,
//! after the trace's final error event.
NRW_API RunResult RunReport(const RunOptions& options);

//! The Versao of the module's report class, asked of an instance made on a throwaway report.
NRW_API std::string ModuleVersion(const std::string& module_path);

//! A report with an empty layout, registered in the handle table while it lives (for hosts that
//! call a module's Imprimir themselves).
NRW_API std::unique_ptr<TnrwReport> CreateEmptyReport();

}  // namespace nrw
