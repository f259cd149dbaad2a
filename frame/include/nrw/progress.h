// Progress box of long module work (separator lists). The host shows it; the CLI draws it on
// stderr when stderr is a terminal.
#pragma once

#include <memory>
#include <string>

#include "nrw/api.h"
#include "nrw/core.h"
#include "nrw/dataset.h"

namespace nrw {

class NRW_API TnFraProgresso : public TObject {
 public:
  ~TnFraProgresso() override;
  static std::unique_ptr<TnFraProgresso> CriarProgresso(TObject* owner);
  void SetEhCircular(bool on) { circular_ = on; }
  void MostrarSimples(TObject* parent);
  void ConfigurarProgressoTotal(int total, const std::string& caption);
  void ConfigurarProgressoTotal(TnClientDataSet& dataset, const std::string& caption);
  void IncProgressoTotal();
  //! One step, showing a new caption.
  void IncProgressoTotal(const std::string& caption);
  void Hide();
  bool Visible() const { return visible_; }
  int Position() const { return position_; }
  int Total() const { return total_; }
  const std::string& Caption() const { return caption_; }

 private:
  TnFraProgresso() = default;
  void Show() const;
  bool circular_ = false;
  bool visible_ = false;
  int position_ = 0;
  int total_ = 0;
  std::string caption_;
};

}  // namespace nrw
