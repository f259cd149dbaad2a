#include <gtest/gtest.h>

#include <string>

#include "frame/module_library.h"
#include "nrw/handles.h"
#include "nrw/report.h"
#include "nrwhost/session.h"

namespace {

class FrameEntry : public ::testing::Test {
 protected:
  std::string Counter(const char* name) { return report_->GetParams().GetValues(name); }
  std::string ErrorOf(const ModuleLibrary& module, int32_t argument) {
    try {
      module.Imprimir(argument);
    } catch (const nrw::Exception& error) {
      return error.what();
    }
    return "";
  }

  ModuleLibrary module_{"RptTestFrame"};
  std::unique_ptr<nrw::TnrwReport> report_ = nrw::CreateEmptyReport();
};

TEST_F(FrameEntry, RejectsArgumentsThatAreNotReports) {
  nrw::TObject other;
  const nrw::HandleRegistration other_handle(other);
  struct Case {
    const char* name;
    int32_t argument;
    std::string digits;
  };
  char other_digits[9];
  std::snprintf(other_digits, sizeof other_digits, "%08X",
                static_cast<uint32_t>(other_handle.handle()));
  const Case cases[] = {
      {"zero", 0, "00000000"},
      {"minus one", -1, "FFFFFFFF"},
      {"bit 31 set", INT32_MIN, "80000000"},
      {"unregistered", 0x7FFFFFF0, "7FFFFFF0"},
      {"another class", other_handle.handle(), other_digits},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf(module_, c.argument), "Erro: Endereço: " + c.digits + " nao é de relatório.")
        << c.name;
  }
  EXPECT_EQ(Counter("pConstruidos"), "") << "nothing may be constructed";
}

TEST_F(FrameEntry, RunsAndFreesOneInstancePerCall) {
  module_.Imprimir(report_->Handle());
  module_.Imprimir(report_->Handle());
  EXPECT_EQ(Counter("pConstruidos"), "2");
  EXPECT_EQ(Counter("pExecutados"), "2");
  EXPECT_EQ(Counter("pDestruidos"), "2");
}

TEST_F(FrameEntry, FreesTheInstanceOnceWhenTheReportRaises) {
  report_->GetParams().SetValues("pFalhar", "1");
  EXPECT_EQ(ErrorOf(module_, report_->Handle()), "Falha pedida pelo teste.");
  EXPECT_EQ(Counter("pConstruidos"), "1");
  EXPECT_EQ(Counter("pDestruidos"), "1");
}

TEST_F(FrameEntry, ClassDllAlwaysAnswersTheSameClass) {
  const nrw::TnrwBaseDllClass* first = module_.ClassDll();
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->ClassName(), "TRptTestFrame");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(module_.ClassDll(), first);
  EXPECT_EQ(first->Create(*report_)->Versao(), "[versao: 9.9.9.9]");
}

TEST_F(FrameEntry, MissingClassIsReportedAfterTheReportCheck) {
  const ModuleLibrary no_class("RptNoClass");
  EXPECT_EQ(no_class.ClassDll(), nullptr);
  EXPECT_EQ(ErrorOf(no_class, 0), "Erro: Endereço: 00000000 nao é de relatório.");
  EXPECT_EQ(ErrorOf(no_class, report_->Handle()), "FClassDll está nil.");
}

}  // namespace
