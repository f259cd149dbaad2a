#include "nrw/aviso.h"

#include "report/engine.h"
#include "report/report_host.h"

namespace nrw {

// Items listed under a title take the title's kind; loose messages are plain information,
// kind 0.
TnAviso::TnAviso(TnrwReport& report) : report_(report) {}

TnAviso::~TnAviso() = default;

void TnAviso::AddTituloMensagem(const std::string& text, int kind) {
  entries_.push_back({text, kind, true, -1, std::nullopt, false});
  current_title_ = static_cast<int>(entries_.size()) - 1;
}

void TnAviso::AddAviso(const std::string& text) {
  const int kind = current_title_ >= 0 ? entries_[static_cast<size_t>(current_title_)].kind : 0;
  entries_.push_back({text, kind, false, current_title_, std::nullopt, false});
}

// The code goes after the text, or alone when there is no text (a bare company code). On the
// message page the code is the company it names.
void TnAviso::AddAviso(const std::string& text, int code) {
  AddAviso(text.empty() ? std::to_string(code) : text + " " + std::to_string(code));
  entries_.back().company = code;
  entries_.back().only_code = text.empty();
}

void TnAviso::RemoverIndiceDoTitulo() { current_title_ = -1; }

void TnAviso::LimparTodosOsAvisos() {
  entries_.clear();
  current_title_ = -1;
}

bool TnAviso::IsEmpty() const {
  for (const Entry& entry : entries_) {
    if (!entry.is_title) return false;
  }
  return true;
}

void TnAviso::Listar() {
  for (size_t t = 0; t < entries_.size(); ++t) {
    if (!entries_[t].is_title) continue;
    bool listed_title = false;
    for (const Entry& entry : entries_) {
      if (entry.is_title || entry.title != static_cast<int>(t)) continue;
      if (!listed_title) {
        report_.MsgMensagem(entries_[t].kind, entries_[t].text);
        listed_title = true;
      }
      List(entry);
    }
  }
  for (const Entry& entry : entries_) {
    if (!entry.is_title && entry.title < 0) List(entry);
  }
}

void TnAviso::List(const Entry& entry) {
  if (!entry.company) {
    report_.MsgMensagem(entry.kind, entry.text);
    return;
  }
  TnReportEngine& engine = ReportHost::Engine(report_);
  engine.AddMessage(entry.kind, entry.text, engine.CompanySubject(*entry.company), entry.only_code);
}

}  // namespace nrw
