#include "run/handed_datasets.h"

#include "nrw/format.h"
#include "nrw/util.h"
#include "report/engine.h"
#include "run/main_dataset.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

std::string Records(int count) {
  return IntToStr(count) + (count == 1 ? " registro" : " registros");
}

}  // namespace

std::string HandedDataSetSql(const LayoutHandedDataSets& handed, const LayoutHandedDataSet& dataset,
                             const TnpqPowerParam& panel) {
  std::vector<std::string> conditions;
  if (!Trim(handed.where).empty()) conditions.push_back(handed.where);
  for (const LayoutFilter& filter : handed.filters) {
    if (!panel.ParamUnCheck(filter.param)) continue;
    std::string predicate = FilterInterval(filter.columns, Trim(panel.GetValues(filter.param)),
                                           {filter.kind}, 0, false, 0);
    if (!predicate.empty()) conditions.push_back(std::move(predicate));
  }
  std::string sql = "select * from " + dataset.table;
  for (size_t i = 0; i < conditions.size(); ++i) {
    sql += (i == 0 ? " where (" : " and (") + conditions[i] + ")";
  }
  if (!Trim(dataset.order).empty()) sql += " order by " + dataset.order;
  return sql;
}

HandedDataSets::HandedDataSets(TnReportEngine& engine) {
  const Layout& layout = engine.GetLayout();
  if (layout.handed.datasets.empty()) return;
  // Host work: neither the statements nor the handles (which differ from run to run) are the
  // module's doing.
  const TracePause host_work(engine);
  TnpqPowerParam& panel = engine.Panel();
  entries_.reserve(layout.handed.datasets.size());
  for (const LayoutHandedDataSet& declared : layout.handed.datasets) {
    Entry entry;
    entry.layout = &declared;
    try {
      const std::string sql = HandedDataSetSql(layout.handed, declared, panel);
      entry.rows =
          OpenSqlDataSet(sql, MainDatasetValues(layout, panel, MainDatasetParamNames(sql)));
    } catch (const std::exception& error) {
      throw Exception("Conjunto de dados " + declared.param + " (" + declared.table +
                      "): " + error.what());
    }
    entry.registration = std::make_unique<HandleRegistration>(*entry.rows);
    panel.SetValues(declared.param, IntToStr(entry.registration->handle()));
    entries_.push_back(std::move(entry));
  }
}

HandedDataSets::~HandedDataSets() = default;

void HandedDataSets::CheckEmptied() {
  std::string left;
  for (Entry& entry : entries_) {
    TnClientDataSet& rows = *entry.rows;
    if (!rows.Active()) rows.Open();
    rows.SetFiltered(false);
    rows.CancelRange();
    const int count = rows.RecordCount();
    if (count == 0) continue;
    left += (left.empty() ? "" : ", ") + entry.layout->param + " (" + entry.layout->table + ", " +
            Records(count) + ")";
  }
  if (!left.empty()) {
    throw Exception("O relatório não esvaziou os conjuntos de dados recebidos do host: " + left +
                    ".");
  }
}

}  // namespace nrw
