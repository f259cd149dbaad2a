#include "nrw/handles.h"

#include <unordered_map>

namespace nrw {
namespace {

// First handle well away from small integers, so that 0, 1 or -1 never name an object.
constexpr int32_t kFirstHandle = 0x00100000;

struct Table {
  std::unordered_map<int32_t, TObject*> objects;
  int32_t next = kFirstHandle;
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

int32_t HandleTable::Register(TObject& object) {
  Table& table = TheTable();
  const int32_t handle = table.next++;
  table.objects.emplace(handle, &object);
  return handle;
}

void HandleTable::Unregister(int32_t handle) { TheTable().objects.erase(handle); }

TObject* HandleTable::Resolve(int64_t widened) {
  if (widened < INT32_MIN || widened > INT32_MAX) return nullptr;
  const Table& table = TheTable();
  const auto found = table.objects.find(static_cast<int32_t>(widened));
  return found == table.objects.end() ? nullptr : found->second;
}

}  // namespace nrw
