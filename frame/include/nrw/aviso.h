// Message list on the report's message page: titles with the items listed under them, and loose
// messages. Listar sends everything to the message page.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "nrw/api.h"
#include "nrw/core.h"
#include "nrw/report.h"

namespace nrw {

class NRW_API TnAviso : public TObject {
 public:
  explicit TnAviso(TnrwReport& report);
  ~TnAviso() override;
  //! Starts a title; later items are listed under it until RemoverIndiceDoTitulo.
  void AddTituloMensagem(const std::string& text, int kind);
  void AddAviso(const std::string& text);
  //! An item with a code (a company, say); the code is listed after the text.
  void AddAviso(const std::string& text, int code);
  //! Later items are loose messages, no longer under the title.
  void RemoverIndiceDoTitulo();
  void LimparTodosOsAvisos();
  //! True when there is no item (a title with nothing under it does not count).
  bool IsEmpty() const;
  //! Sends every title that has items, its items, and the loose messages to the message page.
  void Listar();

 private:
  struct Entry {
    std::string text;
    int kind = 0;
    bool is_title = false;
    int title = -1;
    //! The company an item's code names; its text is that code alone when only_code.
    std::optional<int> company;
    bool only_code = false;
  };
  void List(const Entry& entry);
  TnrwReport& report_;
  std::vector<Entry> entries_;
  int current_title_ = -1;
};

}  // namespace nrw
