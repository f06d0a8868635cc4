#pragma once
// The run-time errors of the program: a text that is not a number where a
// number is read, an integer or floating-point overflow, a division by zero.
// A handler that meets one stops where it is; the window's guard catches it.
#include <stdexcept>
#include <string>

namespace korvalen {

enum class ErrorKind { TypeMismatch, Overflow, DivisionByZero, InvalidOperation };

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(ErrorKind kind, const std::string& what = {})
      : std::runtime_error(what.empty() ? defaultText(kind) : what), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

  // The Russian text the user is shown for this kind of error.
  static std::string defaultText(ErrorKind kind) {
    switch (kind) {
      case ErrorKind::TypeMismatch: return "Текст не является числом";
      case ErrorKind::Overflow: return "Переполнение";
      case ErrorKind::DivisionByZero: return "Деление на ноль";
      case ErrorKind::InvalidOperation: return "Недопустимая операция с числами";
    }
    return "Ошибка";
  }

 private:
  ErrorKind kind_;
};

}  // namespace korvalen
