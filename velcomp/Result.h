// The one outcome type of the library: success, perhaps with a note for the author, or
// failure with a message for the author.
#pragma once

#include <string>
#include <utility>

namespace velcomp {

class Result {
public:
    static Result Success() { return Result(true, {}); }
    // Success with something the author should know, such as what was left as it was.
    static Result Success(std::string note) { return Result(true, std::move(note)); }
    static Result Failure(std::string message) { return Result(false, std::move(message)); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    // The failure's reason, or a success's note (often empty).
    const std::string& message() const { return message_; }

private:
    Result(bool ok, std::string message) : ok_(ok), message_(std::move(message)) {}

    bool ok_;
    std::string message_;
};

// Runs the steps in turn until one fails: the first failure, or the last step's result.
template <class... Steps>
Result InTurn(Steps&&... steps) {
    Result result = Result::Success();
    static_cast<void>((static_cast<bool>(result = std::forward<Steps>(steps)()) && ...));
    return result;
}

}  // namespace velcomp
