#pragma once
#include <utility>

namespace kestrave::win32 {

// A move-only owner of one handle kind: Traits names the handle type, its empty value and how
// it is closed. Closed once, on reset() or destruction.
template <typename Traits> class UniqueHandle {
  public:
    using handle_type = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(handle_type h) noexcept : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::empty())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            reset(std::exchange(o.h_, Traits::empty()));
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    explicit operator bool() const noexcept { return h_ != Traits::empty(); }
    handle_type get() const noexcept { return h_; }
    // For out-parameters: closes what is held and hands out the slot to fill.
    handle_type* put() noexcept {
        reset();
        return &h_;
    }
    handle_type release() noexcept { return std::exchange(h_, Traits::empty()); }
    void reset(handle_type h = Traits::empty()) noexcept {
        if (h_ != Traits::empty()) {
            Traits::close(h_);
        }
        h_ = h;
    }

  private:
    handle_type h_ = Traits::empty();
};

} // namespace kestrave::win32
