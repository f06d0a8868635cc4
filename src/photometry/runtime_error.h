#pragma once
// The run-time errors of the program: a text that is not a number where a
// number is read, an integer or floating-point overflow, a division by zero,
// an invalid operation. A handler that meets one stops where it is; the
// window's guard catches it and tells the user in the user's own words.
#include <stdexcept>

namespace korvalen {

enum class ErrorKind { TypeMismatch, Overflow, DivisionByZero, InvalidOperation };

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(ErrorKind kind) : std::runtime_error(nameOf(kind)), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  // For logs and test messages only; the user never sees it.
  static const char* nameOf(ErrorKind kind) {
    switch (kind) {
      case ErrorKind::TypeMismatch: return "type mismatch";
      case ErrorKind::Overflow: return "overflow";
      case ErrorKind::DivisionByZero: return "division by zero";
      case ErrorKind::InvalidOperation: return "invalid operation";
    }
    return "run-time error";
  }

  ErrorKind kind_;
};

}  // namespace korvalen
