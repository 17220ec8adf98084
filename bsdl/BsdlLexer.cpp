#include "bsdl/BsdlLexer.h"

#include <algorithm>

#include "bsdl/BsdlText.h"

namespace bsdl {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

constexpr std::string_view kFileSymbols = "()[];:,&.=<>+-*/'|";
constexpr std::string_view kStringSymbols = "()[],:*";

std::string Printable(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x20 && byte < 0x7F) return std::string("'") + c + "'";
  static constexpr char kHex[] = "0123456789ABCDEF";
  return std::string("byte 0x") + kHex[byte >> 4] + kHex[byte & 15];
}

}  // namespace

TTextLocation TLocatedText::LocationOf(size_t offset) const {
  if (pieces_.empty()) return {};
  auto piece = std::upper_bound(pieces_.begin(), pieces_.end(), offset,
                                [](size_t value, const Piece& p) { return value < p.offset; });
  if (piece != pieces_.begin()) --piece;
  TTextLocation at = piece->at;
  at.column += static_cast<int>(std::min<size_t>(offset - piece->offset, 1u << 30));
  return at;
}

void TLocatedText::Append(std::string_view text, TTextLocation at) {
  if (text.empty()) return;
  pieces_.push_back(Piece{text_.size(), at});
  text_.append(text);
}

void TLocatedText::Append(const TLocatedText& other) {
  for (const Piece& piece : other.pieces_)
    pieces_.push_back(Piece{text_.size() + piece.offset, piece.at});
  text_.append(other.text_);
}

bool TToken::IsWord(std::string_view word) const {
  return (kind == TTokenKind::Identifier || kind == TTokenKind::Word) && SameName(text, word);
}

std::string TToken::Describe() const {
  switch (kind) {
    case TTokenKind::End:
      return "the end of the text";
    case TTokenKind::String:
      return "a string";
    case TTokenKind::Number:
      return "the number " + text;
    case TTokenKind::Symbol:
      return "'" + text + "'";
    case TTokenKind::Identifier:
    case TTokenKind::Word:
      return "'" + text + "'";
  }
  return "?";
}

TBsdlLexer::TBsdlLexer(std::string_view text, std::string file)
    : text_(text), file_(std::move(file)) {}

void TBsdlLexer::Fail(TTextLocation at, const std::string& message) const {
  throw EBsdlSyntax(file_, at, message);
}

char TBsdlLexer::Peek(size_t ahead) const {
  return next_ + ahead < text_.size() ? text_[next_ + ahead] : '\0';
}

void TBsdlLexer::Advance() {
  if (text_[next_++] == '\n') {
    ++at_.line;
    at_.column = 1;
  } else {
    ++at_.column;
  }
}

void TBsdlLexer::SkipSpaceAndComments() {
  while (next_ < text_.size()) {
    if (IsSpace(Peek())) {
      Advance();
    } else if (Peek() == '-' && Peek(1) == '-') {
      while (next_ < text_.size() && Peek() != '\n') Advance();
    } else {
      return;
    }
  }
}

TToken TBsdlLexer::Next() {
  SkipSpaceAndComments();
  TToken token;
  token.at = at_;
  if (next_ >= text_.size()) return token;
  const char c = Peek();
  if (IsLetter(c)) return ReadIdentifier();
  if (IsDigit(c)) return ReadNumber();
  if (c == '"') return ReadString();
  if (c == ':' && Peek(1) == '=') {
    Advance();
    Advance();
    token.kind = TTokenKind::Symbol;
    token.text = ":=";
    return token;
  }
  if (kFileSymbols.find(c) != std::string_view::npos) {
    Advance();
    token.kind = TTokenKind::Symbol;
    token.text = std::string(1, c);
    return token;
  }
  Fail(at_, "unexpected character " + Printable(c));
}

TToken TBsdlLexer::ReadIdentifier() {
  TToken token{TTokenKind::Identifier, {}, at_, {}};
  const size_t start = next_;
  while (next_ < text_.size() && IsWordChar(Peek())) Advance();
  token.text = std::string(text_.substr(start, next_ - start));
  if (token.text.back() == '_' || token.text.find("__") != std::string::npos)
    Fail(token.at, "'" + token.text + "' is not a valid identifier (misplaced '_')");
  return token;
}

// Decimal literals: digits with single '_' between them, an optional
// fraction and an optional exponent (E, an optional sign, digits).
TToken TBsdlLexer::ReadNumber() {
  TToken token{TTokenKind::Number, {}, at_, {}};
  const auto digits = [&] {
    if (!IsDigit(Peek())) Fail(at_, "expected a digit in the number");
    while (IsDigit(Peek()) || (Peek() == '_' && IsDigit(Peek(1)))) {
      if (Peek() != '_') token.text.push_back(Peek());
      Advance();
    }
  };
  digits();
  if (Peek() == '.' && IsDigit(Peek(1))) {
    token.text.push_back('.');
    Advance();
    digits();
  }
  if (Peek() == 'e' || Peek() == 'E') {
    token.text.push_back('e');
    Advance();
    if (Peek() == '+' || Peek() == '-') {
      token.text.push_back(Peek());
      Advance();
    }
    digits();
  }
  if (IsLetter(Peek()) || Peek() == '#')
    Fail(at_, "unexpected character " + Printable(Peek()) + " in a number");
  return token;
}

TToken TBsdlLexer::ReadString() {
  TToken token{TTokenKind::String, {}, at_, {}};
  Advance();  // opening quote
  std::string piece;
  TTextLocation pieceAt = at_;
  for (;;) {
    if (next_ >= text_.size() || Peek() == '\n' || Peek() == '\r')
      Fail(token.at, "string not closed on its line");
    const char c = Peek();
    if (c == '"' && Peek(1) == '"') {
      // "" stands for one quote; the content after it continues two
      // columns on, so it starts a new piece.
      piece.push_back('"');
      Advance();
      Advance();
      token.content.Append(piece, pieceAt);
      piece.clear();
      pieceAt = at_;
      continue;
    }
    if (c == '"') break;
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
      Fail(at_, "unexpected " + Printable(c) + " in a string");
    piece.push_back(c);
    Advance();
  }
  Advance();  // closing quote
  token.content.Append(piece, pieceAt);
  token.text = token.content.Text();
  return token;
}

TStringLexer::TStringLexer(const TLocatedText& text, std::string file)
    : text_(text), file_(std::move(file)) {}

TToken TStringLexer::Next() {
  const std::string& text = text_.Text();
  while (next_ < text.size() && IsSpace(text[next_])) ++next_;
  TToken token;
  token.at = text_.LocationOf(next_);
  if (next_ >= text.size()) return token;
  const char c = text[next_];
  if (IsWordChar(c)) {
    const size_t start = next_;
    while (next_ < text.size() && IsWordChar(text[next_])) ++next_;
    token.kind = TTokenKind::Word;
    token.text = text.substr(start, next_ - start);
    return token;
  }
  if (kStringSymbols.find(c) != std::string_view::npos) {
    ++next_;
    token.kind = TTokenKind::Symbol;
    token.text = std::string(1, c);
    return token;
  }
  throw EBsdlSyntax(file_, token.at, "unexpected character " + Printable(c));
}

}  // namespace bsdl
