#include "nrw/siblings.h"

#include <gtest/gtest.h>

#include <memory>

#include "nrwhost/settings.h"

namespace {

int g_alive = 0;

class TFakeSibling : public nrw::TnDMPowerParam {
 public:
  TFakeSibling() {
    ++g_alive;
    AddComponent("cdsDados", data_);
  }
  ~TFakeSibling() override { --g_alive; }
  void Executar() override { Params().SetValues("pExecutado", "1"); }

 private:
  nrw::TObject data_;
};

TEST(Siblings, MadeByClassNameAndOwnedByTheHost) {
  nrw::RegistrarClasseDM("TFakeSibling", [] { return std::make_unique<TFakeSibling>(); });
  nrw::TObject* made = nrw::CriarDM("tfakesibling", 0, "Rel");
  auto& sibling = dynamic_cast<nrw::TnDMPowerParam&>(*made);
  EXPECT_EQ(g_alive, 1);
  EXPECT_NE(sibling.FindComponent("CDSDADOS"), nullptr);
  EXPECT_EQ(sibling.FindComponent("outro"), nullptr);
  sibling.Param("pAnoBase").SetAsString("2023");
  sibling.Executar();
  EXPECT_EQ(sibling.Params().GetValues("pexecutado"), "1");

  nrw::CriarDM("TFakeSibling", 0, "Outro");
  EXPECT_EQ(g_alive, 2) << "another suffix is another sibling";
  nrw::CriarDM("TFAKESIBLING", 0, "Rel");
  EXPECT_EQ(g_alive, 2) << "the same name and suffix replaces the earlier one";
  nrw::DestruirDM("TFakeSibling", "Rel");
  nrw::DestruirDM("TFakeSibling", "Rel");
  nrw::DestruirDM("TFakeSibling", "Outro");
  EXPECT_EQ(g_alive, 0);
}

TEST(Siblings, UnknownClassIsAnError) {
  try {
    nrw::CriarDM("TNinguem", 0, "");
    FAIL() << "no error";
  } catch (const nrw::Exception& error) {
    EXPECT_STREQ(error.what(), "Classe de módulo de dados 'TNinguem' não registrada.");
  }
}

}  // namespace
