// Client dataset at payroll scale: one million withholding rows (company, CPF, retention code,
// amount) indexed on company, CPF and code; key searches and per-beneficiary ranges.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/dataset_builder.h"

namespace {

constexpr int kCompanies = 200;
constexpr int kPayeesPerCompany = 1000;
constexpr int kCodes[] = {561, 588, 1708, 3208, 5706};

struct Row {
  int company;
  std::string cpf;
  int code;
  double amount;
};

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = [] {
    std::mt19937_64 random(42);
    std::vector<Row> made;
    made.reserve(kCompanies * kPayeesPerCompany * std::size(kCodes));
    for (int company = 1; company <= kCompanies; ++company) {
      for (int payee = 0; payee < kPayeesPerCompany; ++payee) {
        const std::string cpf = std::to_string(10000000000ULL + random() % 89999999999ULL);
        for (const int code : kCodes) {
          made.push_back({company, cpf, code, static_cast<double>(random() % 1000000) / 100.0});
        }
      }
    }
    std::shuffle(made.begin(), made.end(), random);
    return made;
  }();
  return rows;
}

std::shared_ptr<nrw::TnDataStore> BuildStore() {
  nrw::TnDataSetBuilder builder({{"Company", nrw::TFieldType::Integer},
                                 {"Cpf", nrw::TFieldType::Text},
                                 {"Code", nrw::TFieldType::Integer},
                                 {"Amount", nrw::TFieldType::Float}});
  for (const Row& row : Rows()) {
    builder.AppendInteger(row.company);
    builder.AppendText(row.cpf);
    builder.AppendInteger(row.code);
    builder.AppendFloat(row.amount);
    builder.EndRow();
  }
  return builder.Finish();
}

nrw::TnClientDataSet& Indexed() {
  static const std::unique_ptr<nrw::TnClientDataSet> dataset = [] {
    auto made = nrw::DataSetHost::Make(BuildStore());
    made->SetIndexFieldNames("Company;Cpf;Code");
    return made;
  }();
  return *dataset;
}

std::vector<const Row*> Probes(size_t count) {
  std::mt19937 random(7);
  std::vector<const Row*> probes;
  for (size_t i = 0; i < count; ++i) probes.push_back(&Rows()[random() % Rows().size()]);
  return probes;
}

void BM_BuildStore(benchmark::State& state) {
  Rows();
  for (auto _ : state) benchmark::DoNotOptimize(BuildStore());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Rows().size()));
}
BENCHMARK(BM_BuildStore)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SortIndex(benchmark::State& state) {
  const auto dataset = nrw::DataSetHost::Make(BuildStore());
  for (auto _ : state) {
    dataset->SetIndexFieldNames("");
    dataset->SetIndexFieldNames("Company;Cpf;Code");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Rows().size()));
}
BENCHMARK(BM_SortIndex)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_FindKey(benchmark::State& state) {
  nrw::TnClientDataSet& dataset = Indexed();
  const auto probes = Probes(4096);
  size_t next = 0;
  int64_t found = 0;
  for (auto _ : state) {
    const Row& row = *probes[next++ & 4095];
    found += dataset.FindKey({row.company, row.cpf, row.code});
  }
  if (found != state.iterations()) state.SkipWithError("an existing key was not found");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindKey);

void BM_RangeWalk(benchmark::State& state) {
  nrw::TnClientDataSet& dataset = Indexed();
  const auto probes = Probes(4096);
  nrw::TField& amount = dataset.FieldByName("Amount");
  size_t next = 0;
  int64_t rows = 0;
  double total = 0.0;
  for (auto _ : state) {
    const Row& row = *probes[next++ & 4095];
    dataset.SetRange({row.company, row.cpf}, {row.company, row.cpf});
    for (; !dataset.Eof(); dataset.Next()) {
      total += amount.AsFloat();
      ++rows;
    }
  }
  dataset.CancelRange();
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations());
  state.counters["rows"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RangeWalk);

}  // namespace

BENCHMARK_MAIN();
