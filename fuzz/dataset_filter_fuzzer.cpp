// Dataset filter texts (TnClientDataSet::Filter) compiled against a small store of every column
// type and evaluated on each row: a text either compiles or raises nrw::Exception, and evaluation
// never fails, however long or deep the text.
#include <memory>

#include "data/dataset_builder.h"
#include "data/filter_expr.h"
#include "fuzz_input.h"
#include "nrw/core.h"
#include "nrw/datetime.h"

namespace {

std::shared_ptr<nrw::TnDataStore> MakeStore() {
  nrw::TnDataSetBuilder builder({{"CODIGO", nrw::TFieldType::Integer},
                                 {"VALOR", nrw::TFieldType::Float},
                                 {"NOME", nrw::TFieldType::Text},
                                 {"DATA", nrw::TFieldType::Date}});
  const char* names[] = {"Ana", "", "O'Neil", "123"};
  for (int row = 0; row < 4; ++row) {
    builder.AppendInteger(row - 1);
    if (row == 2) {
      builder.AppendNull();
    } else {
      builder.AppendFloat(row * 1.5);
    }
    builder.AppendText(names[row]);
    builder.AppendDate(nrw::EncodeDate(2020 + row, 1 + row, 1 + row));
    builder.EndRow();
  }
  return builder.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::shared_ptr<nrw::TnDataStore> store = MakeStore();
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<nrw::FilterExpr> filter;
  try {
    filter = nrw::FilterExpr::Compile(text, *store);
  } catch (const nrw::Exception&) {
    return 0;
  }
  for (uint32_t row = 0; row < store->RowCount(); ++row) filter->Matches(*store, row);
  return 0;
}
