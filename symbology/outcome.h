// The one way anything in the program says it failed: an Outcome holds
// either the value asked for or the reason it could not be had, in plain
// words for the user (UTF-8). Outcome<Done> is a step with nothing to give.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace linomark {

struct Failure {
    std::string reason;
};

struct Done {};

template <class T>
class [[nodiscard]] Outcome {
public:
    Outcome(T value) : state(std::move(value)) {}            // NOLINT: a value is a success
    Outcome(Failure failure) : state(std::move(failure)) {}  // NOLINT: and a failure is not

    [[nodiscard]] bool Ok() const { return std::holds_alternative<T>(state); }
    explicit operator bool() const { return Ok(); }

    // Only on success.
    [[nodiscard]] const T& Value() const { return std::get<T>(state); }
    [[nodiscard]] T& Value() { return std::get<T>(state); }
    // Only on failure.
    [[nodiscard]] const std::string& Reason() const { return std::get<Failure>(state).reason; }
    // Only on failure: the failure itself, passed on as it is by a step that
    // cannot go on without the value.
    [[nodiscard]] const Failure& Failed() const { return std::get<Failure>(state); }

private:
    std::variant<T, Failure> state;
};

inline Failure Fail(std::string reason) { return Failure{std::move(reason)}; }

}  // namespace linomark
