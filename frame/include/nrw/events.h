// Events of host objects: a handler plus the object it belongs to, detachable, so that no event
// outlives the module instance that installed it.
#pragma once

#include <functional>
#include <utility>

#include "nrw/core.h"

namespace nrw {

template <class... Args>
class TnEvent {
 public:
  using Handler = std::function<void(Args...)>;

  void Set(TObject* object, Handler handler) {
    object_ = object;
    handler_ = std::move(handler);
  }
  //! Both the code and the object become empty.
  void Clear() {
    object_ = nullptr;
    handler_ = nullptr;
  }
  bool Assigned() const { return static_cast<bool>(handler_); }
  TObject* Object() const { return object_; }
  void operator()(Args... args) const {
    if (handler_) handler_(std::forward<Args>(args)...);
  }

 private:
  TObject* object_ = nullptr;
  Handler handler_;
};

//! Detaches the event on destruction when it still belongs to the object that set it.
template <class... Args>
class EventBinding {
 public:
  EventBinding() = default;
  EventBinding(TnEvent<Args...>& event, TObject& object, typename TnEvent<Args...>::Handler handler)
      : event_(&event), object_(&object) {
    event.Set(&object, std::move(handler));
  }
  EventBinding(EventBinding&& other) noexcept { *this = std::move(other); }
  EventBinding& operator=(EventBinding&& other) noexcept {
    Release();
    event_ = std::exchange(other.event_, nullptr);
    object_ = std::exchange(other.object_, nullptr);
    return *this;
  }
  ~EventBinding() { Release(); }
  void Release() {
    if (event_ && event_->Object() == object_) event_->Clear();
    event_ = nullptr;
  }

 private:
  TnEvent<Args...>* event_ = nullptr;
  TObject* object_ = nullptr;
};

}  // namespace nrw
