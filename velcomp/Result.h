// The one outcome type of the library: success, or failure with a message for the author.
#pragma once

#include <string>
#include <utility>

namespace velcomp {

class Result {
public:
    static Result Success() { return Result(true, {}); }
    static Result Failure(std::string message) { return Result(false, std::move(message)); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& message() const { return message_; }

private:
    Result(bool ok, std::string message) : ok_(ok), message_(std::move(message)) {}

    bool ok_;
    std::string message_;
};

}  // namespace velcomp
