// A schema database made the default connection, and a host data module made by class name and
// freed by the host, for the sibling tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "nrw/core.h"
#include "nrw/siblings.h"
#include "support/fixture_db.h"

namespace nrw {

class SiblingFixture : public ::testing::Test {
 protected:
  SiblingFixture(std::string class_name, std::map<std::string, std::string> defaults)
      : class_name_(std::move(class_name)), defaults_(std::move(defaults)) {}

  void TearDown() override { DestruirDM(class_name_, "Teste"); }

  //! Runs the module with its defaults, changed by the values given.
  TnDMPowerParam& Executar(const std::map<std::string, std::string>& values = {}) {
    auto& dm = AsClass<TnDMPowerParam>(CriarDM(class_name_, 0, "Teste"));
    for (const auto& [name, value] : defaults_) dm.Param(name).SetAsString(value);
    for (const auto& [name, value] : values) dm.Param(name).SetAsString(value);
    dm.Executar();
    return dm;
  }

  //! The message of the error that running with these values raises; empty when none.
  std::string Erro(const std::map<std::string, std::string>& values) {
    try {
      Executar(values);
    } catch (const Exception& error) {
      return error.what();
    }
    return "";
  }

  static TnClientDataSet& DataSet(TnDMPowerParam& dm, const char* name) {
    return AsClass<TnClientDataSet>(dm.FindComponent(name));
  }

  support::FixtureDb db_;

 private:
  std::string class_name_;
  std::map<std::string, std::string> defaults_;
};

}  // namespace nrw
