// Sibling data modules of the host, made by class name: each has its own parameter set, a run
// operation and named components (datasets) that the calling module reads after the run. The
// siblings made and the classes offered are global state of the host, used from its one thread.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "nrw/api.h"
#include "nrw/core.h"
#include "nrw/report.h"

namespace nrw {

class NRW_API TnDMPowerParam : public TObject {
 public:
  TnDMPowerParam();
  ~TnDMPowerParam() override;
  //! Its own parameter set.
  TnpqPowerParam& Params() { return params_; }
  TnpqParamItem& Param(std::string_view name) { return params_.Param(name); }
  //! The run operation.
  virtual void Executar() = 0;
  //! A component by name (case-insensitive); nullptr when missing.
  TObject* FindComponent(std::string_view name) const;

 protected:
  void AddComponent(const std::string& name, TObject& component);

 private:
  TnpqPowerParam params_;
  std::map<std::string, TObject*> components_;
};

//! Makes the sibling of that class for the suffix (replacing one made before with the same name
//! and suffix); the host owns it until DestruirDM. Raises for an unknown class name.
NRW_API TObject* CriarDM(const std::string& class_name, int action, const std::string& suffix);
//! Frees the sibling of that class and suffix; nothing happens when there is none.
NRW_API void DestruirDM(const std::string& class_name, const std::string& suffix);

}  // namespace nrw
