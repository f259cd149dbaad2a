#include <gtest/gtest.h>

#include <functional>

#include "data_fixture.h"
#include "nrw/core.h"

namespace nrw::test {
namespace {

std::unique_ptr<TnClientDataSet> Three() {
  return MakeDataSet({{"CODIGO", TFieldType::Integer}, {"NOME", TFieldType::Text}},
                     {{3, "c"}, {1, "a"}, {2, "b"}});
}

TEST(DataSetCursor, WalksTheViewBothWays) {
  auto dataset = Three();
  EXPECT_TRUE(dataset->Bof());
  EXPECT_EQ(dataset->RecNo(), 1);
  dataset->Next();
  dataset->Next();
  EXPECT_FALSE(dataset->Bof());
  EXPECT_EQ(dataset->FieldByName("NOME").AsString(), "b");
  dataset->Next();
  EXPECT_TRUE(dataset->Eof());
  EXPECT_EQ(dataset->RecNo(), 0);
  EXPECT_TRUE(dataset->FieldByName("CODIGO").IsNull()) << "no current record past the end";
  EXPECT_EQ(dataset->FieldByName("NOME").AsString(), "");
  dataset->Prior();
  EXPECT_EQ(dataset->RecNo(), 3);
  dataset->Prior();
  dataset->Prior();
  EXPECT_FALSE(dataset->Bof());
  dataset->Prior();
  EXPECT_TRUE(dataset->Bof()) << "Prior on the first record";
  EXPECT_EQ(dataset->RecNo(), 1);
  dataset->Last();
  EXPECT_FALSE(dataset->Eof());
  EXPECT_EQ(dataset->FieldByName("CODIGO").AsInteger(), 2);
  dataset->SetRecNo(2);
  EXPECT_EQ(dataset->FieldByName("CODIGO").AsInteger(), 1);
  EXPECT_THROW(dataset->SetRecNo(4), Exception);
  EXPECT_THROW(dataset->SetRecNo(0), Exception);

  TnClientDataSet empty;
  EXPECT_TRUE(empty.Active());
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_TRUE(empty.Eof());
  EXPECT_TRUE(empty.Bof());
  EXPECT_EQ(empty.FieldCount(), 0);
}

TEST(DataSetFields, LookupByNameAndPosition) {
  auto dataset = Three();
  EXPECT_EQ(&dataset->FieldByName("nome"), &dataset->Fields(1));
  EXPECT_EQ(dataset->FieldByName("Codigo").FieldName(), "CODIGO");
  EXPECT_EQ(dataset->FindField("NADA"), nullptr);
  try {
    dataset->FieldByName("Nada");
    ADD_FAILURE() << "missing field found";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Campo 'Nada' não encontrado.");
  }
  EXPECT_THROW(dataset->Fields(2), Exception);
  EXPECT_THROW(dataset->Fields(-1), Exception);
}

TEST(DataSetOpenState, ClosedDataSetsRefuseCursorWork) {
  const std::vector<std::pair<const char*, std::function<void(TnClientDataSet&)>>> operations = {
      {"First", [](TnClientDataSet& d) { d.First(); }},
      {"Next", [](TnClientDataSet& d) { d.Next(); }},
      {"Eof", [](TnClientDataSet& d) { (void)d.Eof(); }},
      {"RecNo", [](TnClientDataSet& d) { (void)d.RecNo(); }},
      {"RecordCount", [](TnClientDataSet& d) { (void)d.RecordCount(); }},
      {"FindKey", [](TnClientDataSet& d) { (void)d.FindKey({1}); }},
      {"SetRange", [](TnClientDataSet& d) { d.SetRange({1}, {2}); }},
      {"field read", [](TnClientDataSet& d) { (void)d.FieldByName("NOME").AsString(); }},
      {"AppendRecord",
       [](TnClientDataSet& d) {
         d.AppendRecord({4, "d"});
       }},
      {"EmptyDataSet", [](TnClientDataSet& d) { d.EmptyDataSet(); }},
  };
  auto dataset = Three();
  dataset->SetIndexFieldNames("CODIGO");
  dataset->Close();
  EXPECT_FALSE(dataset->Active());
  for (const auto& [name, operation] : operations) {
    try {
      operation(*dataset);
      ADD_FAILURE() << name << ": allowed on a closed dataset";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Operação não permitida em um dataset fechado.") << name;
    }
  }
  EXPECT_NO_THROW(dataset->CancelRange()) << "clean-up paths must not raise";
  dataset->Open();
  EXPECT_EQ(dataset->RecordCount(), 3);
  EXPECT_EQ(dataset->FieldByName("NOME").AsString(), "a");
}

TEST(DataSetClone, CursorsAreIndependentAndShareTheRows) {
  auto source = Three();
  source->SetIndexFieldNames("CODIGO");
  source->SetRange({2}, {3});
  source->SetFilter("NOME <> 'c'");
  source->SetFiltered(true);

  TnClientDataSet kept;
  kept.CloneCursor(*source, false, true);
  EXPECT_EQ(kept.IndexFieldNames(), "CODIGO");
  EXPECT_TRUE(kept.HasRange());
  EXPECT_TRUE(kept.Filtered());
  EXPECT_EQ(Column(kept, "CODIGO"), (Strings{"2"}));

  TnClientDataSet plain;
  plain.CloneCursor(*source, true, false);
  EXPECT_EQ(plain.IndexFieldNames(), "");
  EXPECT_FALSE(plain.HasRange());
  EXPECT_FALSE(plain.Filtered());
  EXPECT_EQ(Column(plain, "CODIGO"), (Strings{"3", "1", "2"}));

  plain.Last();
  source->First();
  EXPECT_EQ(plain.FieldByName("CODIGO").AsInteger(), 2) << "each cursor has its own record";
  EXPECT_EQ(source->FieldByName("CODIGO").AsInteger(), 2);
  plain.Prior();
  EXPECT_EQ(plain.FieldByName("CODIGO").AsInteger(), 1);
  EXPECT_EQ(source->FieldByName("CODIGO").AsInteger(), 2);

  plain.AppendRecord({0, "z"});
  EXPECT_EQ(Column(kept, "CODIGO"), (Strings{"2"})) << "outside the clone's range";
  source->CancelRange();
  EXPECT_EQ(Column(*source, "CODIGO"), (Strings{"0", "1", "2"})) << "the new row is shared";

  kept.EmptyDataSet();
  EXPECT_TRUE(source->IsEmpty());
  EXPECT_TRUE(plain.IsEmpty());
  EXPECT_TRUE(plain.Eof());
  EXPECT_EQ(source->FieldCount(), 2) << "the fields stay";
  source->AppendRecord({7, "g"});
  EXPECT_EQ(Column(plain, "NOME"), (Strings{"g"}));
}

struct NameMap : TnFieldMap {
  TField* Codigo = nullptr;
  TField* Nome = nullptr;
  void Fields(TnFieldBinder& bind) override {
    bind("CODIGO", Codigo);
    bind("nome", Nome);
  }
};

struct BrokenMap : TnFieldMap {
  TField* Codigo = nullptr;
  TField* Falta = nullptr;
  void Fields(TnFieldBinder& bind) override {
    bind("CODIGO", Codigo);
    bind("FALTA", Falta);
  }
};

TEST(DataSetFieldMap, OneBoundObjectPerClass) {
  auto dataset = Three();
  NameMap& map = dataset->FieldMapper<NameMap>();
  EXPECT_EQ(&dataset->FieldMapper<NameMap>(), &map);
  ASSERT_NE(map.Nome, nullptr);
  dataset->SetIndexFieldNames("NOME");
  dataset->Last();
  EXPECT_EQ(map.Codigo->AsInteger(), 3) << "the fields read the current record";

  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      dataset->FieldMapper<BrokenMap>();
      ADD_FAILURE() << "missing column bound";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Campo 'FALTA' não encontrado.") << "attempt " << attempt;
    }
  }

  TnClientDataSet clone;
  clone.CloneCursor(*dataset, false, false);
  NameMap& clone_map = clone.FieldMapper<NameMap>();
  EXPECT_NE(&clone_map, &map);
  clone.Next();
  EXPECT_EQ(clone_map.Codigo->AsInteger(), 1) << "a clone's map reads the clone's cursor";
  EXPECT_EQ(map.Codigo->AsInteger(), 3);
}

TEST(DataSetStore, SetStoreKeepsIndexAndFilterAndDropsTheRange) {
  auto dataset = Three();
  NameMap& map = dataset->FieldMapper<NameMap>();
  TField* const nome = &dataset->FieldByName("NOME");
  dataset->SetIndexFieldNames("NOME;CODIGO");
  dataset->SetRange({"a"}, {"b"});
  dataset->SetFilter("CODIGO > 1");
  dataset->SetFiltered(true);

  DataSetHost::SetStore(*dataset,
                        MakeStore({{"codigo", TFieldType::Integer}, {"nome", TFieldType::Text}},
                                  {{5, "e"}, {9, "a"}, {4, "d"}, {1, "x"}}));
  EXPECT_EQ(dataset->IndexFieldNames(), "NOME;CODIGO");
  EXPECT_FALSE(dataset->HasRange());
  EXPECT_TRUE(dataset->Filtered());
  EXPECT_EQ(&dataset->FieldByName("NOME"), nome) << "same columns, same field objects";
  EXPECT_EQ(dataset->RecNo(), 1);
  EXPECT_EQ(map.Nome->AsString(), "a");
  EXPECT_EQ(Column(*dataset, "CODIGO"), (Strings{"9", "4", "5"}));

  DataSetHost::SetStore(*dataset, MakeStore({{"NOME", TFieldType::Text},
                                             {"CODIGO", TFieldType::Integer},
                                             {"EXTRA", TFieldType::Integer}},
                                            {{"b", 2, 0}, {"a", 3, 0}}));
  EXPECT_EQ(dataset->FieldCount(), 3);
  EXPECT_EQ(map.Nome, &dataset->FieldByName("NOME")) << "maps are bound again";
  EXPECT_EQ(map.Nome->AsString(), "a");

  try {
    DataSetHost::SetStore(*dataset, MakeStore({{"CODIGO", TFieldType::Integer}}, {{8}}));
    ADD_FAILURE() << "a map lost its column silently";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Campo 'nome' não encontrado.");
  }
  EXPECT_EQ(dataset->IndexFieldNames(), "CODIGO") << "names that no longer exist are dropped";
  EXPECT_EQ(dataset->FieldByName("CODIGO").AsInteger(), 8) << "the new rows are in place";
}

TEST(DataSetControls, CountsDisableAndEnable) {
  TnClientDataSet dataset;
  dataset.DisableControls();
  dataset.DisableControls();
  dataset.EnableControls();
  EXPECT_TRUE(dataset.ControlsDisabled());
  dataset.EnableControls();
  EXPECT_FALSE(dataset.ControlsDisabled());
}

}  // namespace
}  // namespace nrw::test
