// Tokens of BSDL text. Two lexers share one token type:
//  - TBsdlLexer reads the VHDL subset of a BSDL file: identifiers, decimal
//    literals, string literals ("" stands for one quote), symbols, with
//    "--" comments and white space skipped;
//  - TStringLexer reads the small languages inside attribute strings (pin
//    maps, opcode lists, cell tuples): words of letters, digits and '_',
//    and the symbols ( ) [ ] , : *.
// A string's content remembers where each of its characters was written,
// even when it was concatenated from literals on several lines, so errors
// inside it point at the file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "bsdl/BsdlSyntax.h"

namespace bsdl {

// Text together with the file location of each of its characters.
class TLocatedText {
 public:
  const std::string& Text() const { return text_; }
  // Where the character at `offset` was written (the end maps to just
  // after the last character).
  TTextLocation LocationOf(size_t offset) const;

  // Appends `text`, whose first character was written at `at` and whose
  // further characters follow on the same line.
  void Append(std::string_view text, TTextLocation at);
  void Append(const TLocatedText& other);

 private:
  struct Piece {
    size_t offset;
    TTextLocation at;
  };
  std::string text_;
  std::vector<Piece> pieces_;
};

enum class TTokenKind { End, Identifier, Number, String, Symbol, Word };

struct TToken {
  TTokenKind kind = TTokenKind::End;
  // Identifier, number or word as written; a symbol's characters; a
  // string's content.
  std::string text;
  TTextLocation at;
  TLocatedText content;  // strings only

  bool IsSymbol(std::string_view symbol) const {
    return kind == TTokenKind::Symbol && text == symbol;
  }
  // An identifier or word equal to `word`, ignoring letter case.
  bool IsWord(std::string_view word) const;
  // How the token reads in an error message.
  std::string Describe() const;
};

class TBsdlLexer {
 public:
  TBsdlLexer(std::string_view text, std::string file);
  TToken Next();
  const std::string& File() const { return file_; }

 private:
  [[noreturn]] void Fail(TTextLocation at, const std::string& message) const;
  char Peek(size_t ahead = 0) const;
  void Advance();
  void SkipSpaceAndComments();
  TToken ReadIdentifier();
  TToken ReadNumber();
  TToken ReadString();

  std::string_view text_;
  std::string file_;
  size_t next_ = 0;
  TTextLocation at_;
};

class TStringLexer {
 public:
  TStringLexer(const TLocatedText& text, std::string file);
  TToken Next();
  const std::string& File() const { return file_; }

 private:
  const TLocatedText& text_;
  std::string file_;
  size_t next_ = 0;
};

}  // namespace bsdl
