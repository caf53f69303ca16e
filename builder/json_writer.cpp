#include "builder/json_writer.h"

#include <cstdio>

#include "builder/ansi_text.h"

namespace {

// Appends a \uXXXX escape for a code point of the Basic Multilingual Plane.
void AppendEscape(uint32_t codePoint, std::string* out) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(codePoint));
  *out += escape;
}

// Reads one code point from UTF-8 produced by AnsiToUtf8 (at most three bytes).
uint32_t NextCodePoint(const std::string& utf8, std::size_t* pos) {
  const uint8_t lead = static_cast<uint8_t>(utf8[*pos]);
  const auto tail = [&](std::size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(utf8[*pos + i]) & 0x3F); };
  uint32_t value = lead;
  std::size_t length = 1;
  if (lead >= 0xE0) {
    value = ((lead & 0x0Fu) << 12) | (tail(1) << 6) | tail(2), length = 3;
  } else if (lead >= 0xC0) {
    value = ((lead & 0x1Fu) << 6) | tail(1), length = 2;
  }
  *pos += length;
  return value;
}

}  // namespace

std::string JsonString(const std::string& ansi) {
  const std::string utf8 = AnsiToUtf8(ansi);
  std::string out = "\"";
  for (std::size_t pos = 0; pos < utf8.size();) {
    const uint32_t c = NextCodePoint(utf8, &pos);
    if (c == '"') {
      out += "\\\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c >= 0x7F) {
      AppendEscape(c, &out);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out + "\"";
}

void JsonWriter::Key(const char* key) {
  if (!hasItems_.empty()) {
    out_ << (hasItems_.back() ? ",\n" : "\n");
    hasItems_.back() = true;
    out_ << std::string(hasItems_.size() * 2, ' ');
  }
  if (key != nullptr) out_ << JsonString(key) << ": ";
}

void JsonWriter::Open(const char* key, char bracket) {
  Key(key);
  out_ << bracket;
  hasItems_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool hadItems = hasItems_.back();
  hasItems_.pop_back();
  if (hadItems) out_ << "\n" << std::string(hasItems_.size() * 2, ' ');
  out_ << bracket;
}

void JsonWriter::BeginObject(const char* key) { Open(key, '{'); }
void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::BeginArray(const char* key) { Open(key, '['); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::String(const char* key, const std::string& ansi) {
  Key(key);
  out_ << JsonString(ansi);
}

void JsonWriter::Number(const char* key, uint64_t value) {
  Key(key);
  out_ << value;
}

void JsonWriter::Bool(const char* key, bool value) {
  Key(key);
  out_ << (value ? "true" : "false");
}

void JsonWriter::Finish() { out_ << "\n"; }
