// SPDX-License-Identifier: MIT
// A routine and the context it is called with: how the driver calls back
// into its front end (zqsim's window, a headless run, the big-endian box)
// without the standard library's function objects, which the box lacks.
#pragma once

namespace drive {

template <typename Signature>
struct Callback;

template <typename R, typename... Args>
struct Callback<R(Args...)> {
  R (*fn)(void* ctx, Args... args) = nullptr;
  void* ctx = nullptr;

  explicit operator bool() const { return fn != nullptr; }
  // An empty callback does nothing and gives R's zero value.
  R operator()(Args... args) const {
    if (fn == nullptr) return R();
    return fn(ctx, args...);
  }
};

// A callback that calls the function object `f`, which must outlive it:
//   auto on_shot = [&](const char* name) { ... };
//   runner_hooks.shot = drive::Call<void(const char*)>(&on_shot);
template <typename Signature, typename F>
Callback<Signature> Call(F* f);

template <typename Signature, typename F>
struct CallbackMaker;

template <typename R, typename... Args, typename F>
struct CallbackMaker<R(Args...), F> {
  static R Invoke(void* ctx, Args... args) { return (*static_cast<F*>(ctx))(args...); }
};

template <typename Signature, typename F>
Callback<Signature> Call(F* f) {
  Callback<Signature> c;
  c.fn = &CallbackMaker<Signature, F>::Invoke;
  c.ctx = f;
  return c;
}

}  // namespace drive
