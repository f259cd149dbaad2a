// The password of a protected part: the output name's placeholders, and digits of a value.
#include "run/password_template.h"

#include <gtest/gtest.h>

#include <map>

#include "nrwhost/files.h"

namespace {

const nrw::PatternLookup kPart = [](std::string_view name) -> std::optional<std::string> {
  static const std::map<std::string, std::string, std::less<>> values = {
      {"pBeneficiarios", "123.456.789-09"}, {"pNome", "Ana"}, {"pVazio", "sem números"}};
  const auto found = values.find(name);
  if (found == values.end()) return std::nullopt;
  return found->second;
};

TEST(PasswordTemplate, ValuesDigitsAndTheirFirstDigits) {
  EXPECT_EQ(nrw::ExpandPassword("{pBeneficiarios:digits:5}", kPart), "12345");
  EXPECT_EQ(nrw::ExpandPassword("{pBeneficiarios:digits}", kPart), "12345678909");
  EXPECT_EQ(nrw::ExpandPassword("{pBeneficiarios:digits:40}", kPart), "12345678909");
  EXPECT_EQ(nrw::ExpandPassword("x{pNome}-{pBeneficiarios}", kPart), "xAna-123.456.789-09");
  EXPECT_EQ(nrw::ExpandPassword("{pBeneficiarios:digits:-4}", kPart), "8909") << "the last ones";
}

// A part named by digits that do not give its password away.
TEST(PasswordTemplate, OutputNamesTakeTheDigitsPlaceholdersToo) {
  EXPECT_EQ(nrw::ExpandOutputPattern("informe-{pBeneficiarios:digits:-6}.pdf", kPart),
            "informe-678909.pdf");
  EXPECT_THROW(nrw::ExpandOutputPattern("{pBeneficiarios:digitos}.pdf", kPart), nrw::UsageError);
  EXPECT_THROW(nrw::ExpandOutputPattern("{pOutro:digits}.pdf", kPart), nrw::UsageError);
}

TEST(PasswordTemplate, WhatCannotGiveAPasswordIsRefused) {
  EXPECT_THROW(nrw::ExpandPassword("{pOutro}", kPart), nrw::UsageError);
  for (const char* bad : {"{pNome:upper}", "{pBeneficiarios:digits:0}", "{pBeneficiarios:digits:x}",
                          "{pBeneficiarios:digits:5:1}"}) {
    EXPECT_THROW(nrw::ExpandPassword(bad, kPart), nrw::UsageError) << bad;
  }
  // A document nobody could open is never written.
  EXPECT_THROW(nrw::ExpandPassword("{pVazio:digits}", kPart), nrw::Exception);
  EXPECT_THROW(nrw::ExpandPassword("", kPart), nrw::Exception);
}

}  // namespace
