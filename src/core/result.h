#pragma once

#include <string>
#include <utility>
#include <variant>

namespace orvex {

// The error half of a Result: a sentence the caller may show or print.
struct Error {
  std::string message;
};

// A value or the reason there is none.  Core code reports failures through
// this instead of throwing, printing or exiting; the caller decides what the
// user sees.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : m_state(std::move(value)) {}
  Result(Error error) : m_state(std::move(error)) {}

  bool ok() const { return m_state.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(m_state); }
  const T& value() const& { return std::get<0>(m_state); }
  T&& value() && { return std::get<0>(std::move(m_state)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const std::string& error() const { return std::get<1>(m_state).message; }

 private:
  std::variant<T, Error> m_state;
};

// Success or failure with nothing to return.
struct Ok {};
using Status = Result<Ok>;

inline Error Fail(std::string message) { return Error{std::move(message)}; }

}  // namespace orvex
