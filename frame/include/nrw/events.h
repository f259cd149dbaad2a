// Events of host objects: a handler plus the object it belongs to, detachable, so that no event
// outlives the module instance that installed it.
#pragma once

#include <functional>
#include <utility>

#include "nrw/api.h"
#include "nrw/core.h"

namespace nrw {

//! The host's count of installed bindings (see CountLiveObjects), so that a binding left behind by
//! a run can be seen.
NRW_API void NoteEventBinding(int delta) noexcept;

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

//! Installs a handler for an object and, on destruction, gives the event back to the handler it
//! replaced when the event still belongs to that object. A short-lived instance (one report run)
//! may so borrow the events of a longer-lived one (the panel's) without leaving them dangling.
template <class... Args>
class EventBinding {
 public:
  EventBinding() = default;
  EventBinding(TnEvent<Args...>& event, TObject& object, typename TnEvent<Args...>::Handler handler)
      : event_(&event), object_(&object), previous_(event) {
    event.Set(&object, std::move(handler));
    NoteEventBinding(1);
  }
  EventBinding(EventBinding&& other) noexcept { *this = std::move(other); }
  EventBinding& operator=(EventBinding&& other) noexcept {
    if (this == &other) return *this;
    if (event_ != nullptr && event_ == other.event_ && object_ == other.object_) {
      // A new binding of the same object on the same event takes our place: it gives back what
      // we had replaced, not our own handler.
      other.previous_ = std::move(previous_);
      event_ = nullptr;
      NoteEventBinding(-1);
      previous_.Clear();
    } else {
      Release();
    }
    event_ = std::exchange(other.event_, nullptr);
    object_ = std::exchange(other.object_, nullptr);
    previous_ = std::move(other.previous_);
    return *this;
  }
  EventBinding(const EventBinding&) = delete;
  EventBinding& operator=(const EventBinding&) = delete;
  ~EventBinding() { Release(); }
  void Release() {
    if (event_ && event_->Object() == object_) *event_ = std::move(previous_);
    if (event_) NoteEventBinding(-1);
    event_ = nullptr;
    previous_.Clear();
  }

 private:
  TnEvent<Args...>* event_ = nullptr;
  TObject* object_ = nullptr;
  TnEvent<Args...> previous_;
};

}  // namespace nrw
