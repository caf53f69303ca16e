#include "builder/toml_escaping.h"

#include <cstdint>
#include <cstdio>

namespace {

enum class Context { Bare, Comment, Basic, MultiBasic, Literal, MultiLiteral };

// The length of the UTF-8 sequence at `pos` and its code point; 0 when it is not one
// (the TOML reader reports such bytes itself).
std::size_t DecodeAt(const std::string& text, std::size_t pos, uint32_t* codePoint) {
  const uint8_t lead = static_cast<uint8_t>(text[pos]);
  std::size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || pos + length > text.size()) return 0;
  uint32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const uint8_t next = static_cast<uint8_t>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  *codePoint = value;
  return length;
}

std::string Escape(uint32_t codePoint) {
  char text[16];
  if (codePoint <= 0xFFFF) {
    std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(codePoint));
  } else {
    std::snprintf(text, sizeof text, "\\U%08X", static_cast<unsigned>(codePoint));
  }
  return text;
}

bool Starts(const std::string& text, std::size_t pos, const char* what) { return text.compare(pos, 3, what) == 0; }

}  // namespace

bool EscapeNonAsciiForToml(const std::string& text, std::string* escaped, std::string* error) {
  std::string out;
  out.reserve(text.size());
  Context context = Context::Bare;
  std::size_t line = 1;
  for (std::size_t pos = 0; pos < text.size();) {
    const char c = text[pos];
    if (static_cast<uint8_t>(c) >= 0x80) {
      uint32_t codePoint = 0;
      const std::size_t length = DecodeAt(text, pos, &codePoint);
      if (context == Context::Bare) {
        *error = "line " + std::to_string(line) + ": a character beyond ASCII outside quotes; put texts in \"...\"";
        return false;
      }
      if (length == 0) {
        out.push_back(c);
        ++pos;
      } else {
        out += context == Context::Comment ? std::string(" ") : Escape(codePoint);
        pos += length;
      }
      continue;
    }
    if (c == '\n') ++line;
    const bool literal = context == Context::Literal || context == Context::MultiLiteral;
    switch (context) {
      case Context::Bare:
        if (c == '#') context = Context::Comment;
        if (c == '"') context = Starts(text, pos, "\"\"\"") ? Context::MultiBasic : Context::Basic;
        if (c == '\'') context = Starts(text, pos, "'''") ? Context::MultiLiteral : Context::Literal;
        if (context == Context::MultiBasic || context == Context::MultiLiteral) {
          out += "\"\"\"";
          pos += 3;
          continue;
        }
        out.push_back(c == '\'' ? '"' : c);
        break;
      case Context::Comment:
        if (c == '\n') context = Context::Bare;
        out.push_back(c);
        break;
      case Context::Basic:
      case Context::MultiBasic:
        if (c == '\\' && pos + 1 < text.size() && static_cast<uint8_t>(text[pos + 1]) < 0x80) {
          out.append(text, pos, 2);  // an escape keeps its character, even a quote
          if (text[pos + 1] == '\n') ++line;
          pos += 2;
          continue;
        }
        if (c == '\\' && pos + 1 < text.size()) {
          *error = "line " + std::to_string(line) + ": a backslash before a character that no escape begins with";
          return false;
        }
        [[fallthrough]];
      case Context::Literal:
      case Context::MultiLiteral: {
        const char quote = context == Context::Basic || context == Context::MultiBasic ? '"' : '\'';
        const bool multi = context == Context::MultiBasic || context == Context::MultiLiteral;
        if (c == quote && (!multi || Starts(text, pos, multi && quote == '"' ? "\"\"\"" : "'''"))) {
          std::size_t end = pos + (multi ? 3 : 1);
          // Up to two more quotes belong to the text: """a"""" is a" .
          std::size_t extra = 0;
          while (multi && extra < 2 && end + extra < text.size() && text[end + extra] == quote) ++extra;
          for (std::size_t i = 0; i < extra; ++i) out += literal ? "'" : "\\\"";
          out += multi ? "\"\"\"" : "\"";
          pos = end + extra;
          context = Context::Bare;
          continue;
        }
        if (!multi && c == '\n') context = Context::Bare;  // the reader reports the open string
        if (literal && (c == '\\' || c == '"')) out.push_back('\\');
        out.push_back(c);
        break;
      }
    }
    ++pos;
  }
  *escaped = std::move(out);
  return true;
}
