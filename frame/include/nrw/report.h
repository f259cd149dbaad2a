// The host's report framework as modules see it: the report object (also the report query with
// the main dataset and the parameter panel), the panel and its items and edit controls, the base
// class of every report class, and the company heading helper.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "nrw/api.h"
#include "nrw/core.h"
#include "nrw/dataset.h"
#include "nrw/datetime.h"
#include "nrw/events.h"

namespace nrw {

class TnpqPowerParam;
class TnpqParamItem;
class TnrwReport;
class TnReportEngine;
class TnValueObserver;
class PanelHost;
class ReportHost;

//! Data-dictionary field definition of an edit control; the data type decides how it edits.
class NRW_API TnFieldDefinicao : public TObject {
 public:
  int TipoData() const { return tipo_data_; }
  void SetTipoData(int tipo) { tipo_data_ = tipo; }

 private:
  int tipo_data_ = 0;
};

//! Edit control of a panel item; it edits the item's value. Owned by the panel.
class NRW_API TnFraControle : public TObject {
 public:
  explicit TnFraControle(TnpqParamItem& item);
  ~TnFraControle() override;
  TnpqParamItem& Item() const { return item_; }
  std::string GetAsString() const;
  //! The value as a date; the zero date when it is not one.
  TDateTime GetAsDate() const;
  void SetAsDate(TDateTime date);
  void SetAsInteger(int64_t value);
  void SetAsString(const std::string& text);
  TnFieldDefinicao& GetFieldDefinicao() { return definicao_; }
  //! Re-applies a changed field definition (the edit mask follows the data type).
  virtual void AplicarDefinicao();
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }
  //! The control's check box: whether the selection is in use.
  bool Checked() const { return checked_; }
  void SetChecked(bool on) { checked_ = on; }

 private:
  TnpqParamItem& item_;
  TnFieldDefinicao definicao_;
  bool enabled_ = true;
  bool checked_ = false;
};

//! Lookup edit control: builds a filter for its lookup list and lets the module amend it.
class NRW_API TnFraCtrlNDLink : public TnFraControle {
 public:
  using TnFraControle::TnFraControle;
  ~TnFraCtrlNDLink() override;
  //! After-filter-built event: (sender, filter text in and out).
  TnEvent<TObject*, std::string&> OnDepoisCriarFiltro;
  //! The lookup's own filter, then the event; answers the final filter text.
  std::string MontarFiltro(const std::string& base_filter);
};

//! One named value of the panel: a report parameter or a report variable.
class NRW_API TnpqParamItem : public TObject {
 public:
  TnpqParamItem(TnpqPowerParam& owner, std::string name);
  ~TnpqParamItem() override;
  const std::string& Name() const { return name_; }
  std::string GetAsString() const { return value_; }
  //! The value as an integer; 0 when it is not one.
  int64_t GetAsInteger() const;
  TDateTime GetAsDate() const;
  void SetAsString(const std::string& text);
  void SetAsInteger(int64_t value);
  void SetAsDate(TDateTime date);
  void SetValue(const std::string& text);

  std::string Caption;
  //! Data-dictionary entry ("CODIGOGRUPOPROC").
  std::string FieldDefinicao;
  //! Option texts of a choice parameter.
  std::string OpcaoTexto;
  //! Shown on the panel.
  bool Visivel = true;
  //! Whether the parameter restricts the selection (the item's switch).
  bool Checked = false;
  //! Whether the item is a report variable rather than a layout parameter.
  bool Variavel = false;

  //! Its edit control; nullptr for report variables.
  TnFraControle* Control() const { return control_.get(); }
  void SetControl(std::unique_ptr<TnFraControle> control);

 private:
  TnpqPowerParam& owner_;
  std::string name_;
  std::string value_;
  std::unique_ptr<TnFraControle> control_;
};

//! A separator offered by the layout: a parameter whose values split the report into parts.
struct TnSeparadorItem {
  std::string Param;
  std::string Campos;
  std::string Tabela;
  std::string Filtro;
  int Ativo = 0;
};

//! The parameter panel: report parameters and report variables in one namespace, names compared
//! without regard to case. Owns its items and controls.
class NRW_API TnpqPowerParam : public TObject {
 public:
  TnpqPowerParam();
  ~TnpqPowerParam() override;

  //! The value's text; empty when there is no such name.
  std::string GetValues(std::string_view name) const;
  //! Writes a value (making a variable when the name is new); an empty text clears it.
  void SetValues(std::string_view name, const std::string& text);
  //! The item of that name, made as a report variable when missing.
  TnpqParamItem& Param(std::string_view name);
  TnpqParamItem* FindParam(std::string_view name) const;
  //! True when the parameter restricts the selection.
  bool ParamUnCheck(std::string_view name) const;
  //! The edit control of a parameter; nullptr when it has none.
  TnFraControle* EdFindFieldControl(std::string_view name) const;
  void EdEnabledField(std::string_view name, bool on);

  int GetSeparadoresCount() const;
  TnSeparadorItem& GetSeparadores(int index);
  //! Separator-SQL event: (panel, fields, table, filter, separator index from 0, statement out).
  TnEvent<TnpqPowerParam&, const std::string&, const std::string&, const std::string&, int,
          std::string&>
      OnSQLSeparador;

 private:
  friend class TnpqParamItem;
  //! The host builds the panel and listens to its writes (report/report_host.h).
  friend class PanelHost;
  TnpqParamItem& AddItem(std::string name);
  void AddSeparador(TnSeparadorItem item);
  void NotifyWrite(const std::string& name, const std::string& value) const;

  std::vector<std::unique_ptr<TnpqParamItem>> items_;
  //! Items by lower-case name: modules write variables in tight loops.
  std::unordered_map<std::string, TnpqParamItem*> index_;
  std::vector<TnSeparadorItem> separadores_;
  TnValueObserver* observer_ = nullptr;
};

//! The host report: the report query (main dataset and parameter panel), the section printer, the
//! page model, the message page and the events. Registered in the handle table while it lives.
class NRW_API TnrwReport : public TObject {
 public:
  ~TnrwReport() override;

  //! The handle that Imprimir receives for this report.
  int32_t Handle() const;
  TnpqPowerParam& GetParams();
  //! The main dataset, opened by the host before a run.
  TnClientDataSet& Query();

  void RepPrintSection(int section);
  bool CSLIsPageEnd() const;
  void SetCSLIsPageEnd(bool on);
  //! True when all (section, line count) pairs still fit on the current page.
  bool DelphiCanPrintSection(const std::vector<std::pair<int, int>>& pairs);
  void CSLShowProgress(int position, int total);
  //! Names the message page (its column captions).
  void MsgConfigurar(const std::vector<std::string>& captions);
  void MsgMensagem(int kind, const std::string& text);
  void RepObjCaption(const std::string& object, const std::string& caption);
  void RepObjProperty(const std::string& object, const std::string& property,
                      const std::string& value);
  void RepEndOfPage(bool on);
  //! True while the host produces separated parts.
  bool GerandoSeparado() const;

  //! Before-section event: (section number).
  TnEvent<int> OnBeforeSection;
  //! After-section event: (sender, section number).
  TnEvent<TObject*, int> OnAfterSection;
  //! Separator-values event: (report query, generate flag out).
  TnEvent<TnrwReport&, bool&> OnSeparatorValues;

 private:
  //! The host makes reports over its engine (report/report_host.h).
  friend class ReportHost;
  explicit TnrwReport(std::unique_ptr<TnReportEngine> engine);
  TnReportEngine& Engine();

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

//! Base of every report class. Holds the report (and through it the main dataset). The virtual
//! operations are listed in the contract's order.
class NRW_API TnrwBaseDll : public TObject {
 public:
  explicit TnrwBaseDll(TnrwReport& report);
  ~TnrwBaseDll() override;

  virtual std::string Versao();
  virtual void CriarListaSectionsParaZebrar();
  virtual void CriarListaSectionsTrocaCor();
  virtual void RepInterno();
  virtual void ImprimirInterno();
  virtual void DoParamChange(TObject* Sender, TnpqParamItem& _AParam);
  virtual void DoParamEnter(TObject* Sender, TnpqParamItem& _AParam);
  virtual void DoParamExit(TObject* Sender, TnpqParamItem& _AParam);
  virtual void DoZebradoBeforeSection(int section);
  virtual void DepoisConfigurar(TnpqPowerParam& _AParent);
  virtual void AntesConfigurar(TnpqPowerParam& _AParent);

  TnrwReport& Report() const { return report_; }
  TnClientDataSet& Query() const;

  std::string RepParam(std::string_view name) const;
  void RepParam(std::string_view name, const std::string& text);
  void RepPrintSection(int section);
  void RepShowProgress(int position, int total);
  void RepObjCaption(const std::string& object, const std::string& caption);
  void RepObjProperty(const std::string& object, const std::string& property,
                      const std::string& value);
  void RepEndOfPage(bool on);

 private:
  TnrwReport& report_;
};

//! Prints the company heading: Executar(company) fills "pNomeEmpresa", "pInscrFed" (establishment
//! 1's registration punctuated by its type: 1 CPF, 2 CNPJ, 3 CEI) and "pCodigoEmpresaCabecalho";
//! ImpressaoCabecalho prints the heading sections. The report is borrowed and must outlive it.
class NRW_API TnCabecalhoRelatorio : public TObject {
 public:
  //! Only the report and the heading sections count. The eleven unnamed settings are the
  //! application's options of its own heading (five switches, three numbers, two texts and a last
  //! switch); this host prints the heading from the company's row alone, so it accepts them and
  //! ignores every one.
  TnCabecalhoRelatorio(TnrwReport& report, bool, bool, bool, bool, bool, std::vector<int> sections,
                       int, int, int, std::string, std::string, bool);
  ~TnCabecalhoRelatorio() override;
  void Executar(int company);
  void ImpressaoCabecalho();

 private:
  TnrwReport& report_;
  std::vector<int> sections_;
};

//! Adds the rounding notices of the host to a panel (a report variable "pAvisosArredondamento").
NRW_API void AvisosArredondamento(TnpqPowerParam& panel);

}  // namespace nrw
