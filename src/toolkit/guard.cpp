#include "toolkit/guard.h"

#include <exception>
#include <new>

#include "photometry/runtime_error.h"

namespace korvalen {

namespace {
FailureHandler& handlerSlot() {
  static FailureHandler h;
  return h;
}
long failures = 0;
}  // namespace

std::string errorText(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::TypeMismatch: return "Текст не является числом";
    case ErrorKind::Overflow: return "Переполнение";
    case ErrorKind::DivisionByZero: return "Деление на ноль";
    case ErrorKind::InvalidOperation: return "Недопустимая операция с числами";
  }
  return "Ошибка";
}

void setFailureHandler(FailureHandler f) { handlerSlot() = std::move(f); }

long failureCount() { return failures; }

bool runGuarded(const std::function<void()>& handler) {
  if (!handler) return true;
  std::string message;
  try {
    handler();
    return true;
  } catch (const RuntimeError& e) {
    message = errorText(e.kind());
  } catch (const std::bad_alloc&) {
    message = "Недостаточно памяти";
  } catch (const std::exception& e) {
    message = "Внутренняя ошибка";
  }
  ++failures;
  if (handlerSlot()) {
    // The reporter itself must never take the program down.
    try {
      handlerSlot()(message);
    } catch (...) {
    }
  }
  return false;
}

}  // namespace korvalen
