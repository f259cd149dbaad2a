#include <map>
#include <memory>
#include <string>
#include <utility>

#include "nrw/siblings.h"
#include "nrwhost/settings.h"
#include "util/name_key.h"

namespace nrw {
namespace {

// The classes the host registered and the siblings it made, keyed by class name (without regard
// to case) and, for the made ones, by suffix. The host owns the siblings until DestruirDM.
struct Registry {
  std::map<std::string, TnDMFactory> classes;
  std::map<std::pair<std::string, std::string>, std::unique_ptr<TObject>> made;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

TnDMFactory RegistrarClasseDM(const std::string& class_name, TnDMFactory factory) {
  TnDMFactory& slot = TheRegistry().classes[NameKey(class_name)];
  std::swap(slot, factory);
  return factory;
}

TObject* CriarDM(const std::string& class_name, int, const std::string& suffix) {
  Registry& registry = TheRegistry();
  const std::string key = NameKey(class_name);
  const auto found = registry.classes.find(key);
  if (found == registry.classes.end() || !found->second) {
    throw Exception("Classe de módulo de dados '" + class_name + "' não registrada.");
  }
  std::unique_ptr<TObject> made = found->second();
  if (!made) throw Exception("Classe de módulo de dados '" + class_name + "' não criou o módulo.");
  std::unique_ptr<TObject>& slot = registry.made[{key, suffix}];
  slot = std::move(made);
  return slot.get();
}

void DestruirDM(const std::string& class_name, const std::string& suffix) {
  TheRegistry().made.erase({NameKey(class_name), suffix});
}

}  // namespace nrw
