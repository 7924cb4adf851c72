#pragma once
#include "platform/IServiceManager.h"

namespace kestrave {

// Owns one manager or service handle of an IServiceManager; closes it exactly once.
class ScHandleOwner {
  public:
    explicit ScHandleOwner(IServiceManager& scm, ScHandle h = 0) noexcept : scm_(&scm), h_(h) {}
    ScHandleOwner(const ScHandleOwner&) = delete;
    ScHandleOwner& operator=(const ScHandleOwner&) = delete;
    ScHandleOwner(ScHandleOwner&& o) noexcept : scm_(o.scm_), h_(o.h_) { o.h_ = 0; }
    ScHandleOwner& operator=(ScHandleOwner&& o) noexcept {
        if (this != &o) {
            reset();
            scm_ = o.scm_;
            h_ = o.h_;
            o.h_ = 0;
        }
        return *this;
    }
    ~ScHandleOwner() { reset(); }

    explicit operator bool() const noexcept { return h_ != 0; }
    ScHandle get() const noexcept { return h_; }
    void reset(ScHandle h = 0) noexcept {
        if (h_ != 0) {
            scm_->CloseServiceHandle(h_);
        }
        h_ = h;
    }

  private:
    IServiceManager* scm_;
    ScHandle h_;
};

} // namespace kestrave
