// The error a malformed BSDL text raises: where (file, line, column) and
// what was expected there.
#pragma once

#include <stdexcept>
#include <string>

namespace bsdl {

struct TTextLocation {
  int line = 1;
  int column = 1;
};

class EBsdlSyntax : public std::runtime_error {
 public:
  EBsdlSyntax(std::string file, TTextLocation at, std::string message)
      : std::runtime_error(file + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) +
                           ": " + message),
        file_(std::move(file)),
        at_(at),
        message_(std::move(message)) {}

  const std::string& File() const { return file_; }
  int Line() const { return at_.line; }
  int Column() const { return at_.column; }
  // The message without the location.
  const std::string& Message() const { return message_; }

 private:
  std::string file_;
  TTextLocation at_;
  std::string message_;
};

}  // namespace bsdl
