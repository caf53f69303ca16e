#include "builder/ansi_text.h"

#include <cstdint>
#include <cstdio>

namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; 0 where the byte is undefined.
constexpr uint16_t kHighControlBlock[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool CodePointToAnsi(uint32_t codePoint, char* byte) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    *byte = static_cast<char>(codePoint);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControlBlock[i] != 0 && kHighControlBlock[i] == codePoint) {
      *byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

// Decodes one UTF-8 sequence at `pos`; rejects overlong forms, surrogates and values
// beyond U+10FFFF so that a file in another encoding is never mistaken for UTF-8.
bool DecodeUtf8(const std::string& text, std::size_t* pos, uint32_t* codePoint) {
  const auto byteAt = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byteAt(*pos);
  int extra = 0;
  uint32_t value = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    *codePoint = lead;
    ++*pos;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  if (*pos + extra >= text.size()) return false;
  for (int i = 1; i <= extra; ++i) {
    const uint8_t next = byteAt(*pos + i);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *codePoint = value;
  *pos += extra + 1;
  return true;
}

std::string DescribeCodePoint(uint32_t codePoint) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(codePoint));
  return text;
}

void AppendUtf8(uint32_t codePoint, std::string* out) {
  if (codePoint < 0x80) {
    out->push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

bool IsValidUtf8(const std::string& text) {
  std::size_t pos = 0;
  uint32_t codePoint = 0;
  while (pos < text.size()) {
    if (!DecodeUtf8(text, &pos, &codePoint)) return false;
  }
  return true;
}

}  // namespace

bool Utf8ToAnsi(const std::string& utf8, std::string* ansi, std::string* error) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    uint32_t codePoint = 0;
    if (!DecodeUtf8(utf8, &pos, &codePoint)) {
      *error = "is not valid UTF-8 (byte " + std::to_string(start) + ")";
      return false;
    }
    char byte = 0;
    if (!CodePointToAnsi(codePoint, &byte)) {
      *error = "holds the character " + DescribeCodePoint(codePoint) +
               ", which Windows-1252 text cannot hold";
      return false;
    }
    out.push_back(byte);
  }
  *ansi = std::move(out);
  return true;
}

std::string AnsiToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (const char c : ansi) {
    const uint8_t byte = static_cast<uint8_t>(c);
    uint32_t codePoint = byte;
    if (byte >= 0x80 && byte <= 0x9F && kHighControlBlock[byte - 0x80] != 0) {
      codePoint = kHighControlBlock[byte - 0x80];
    }
    AppendUtf8(codePoint, &out);
  }
  return out;
}

namespace {

bool AppendAnsi(uint32_t codePoint, std::string* out, std::string* error) {
  char byte = 0;
  if (!CodePointToAnsi(codePoint, &byte)) {
    *error = "holds the character " + DescribeCodePoint(codePoint) + ", which Windows-1252 text cannot hold";
    return false;
  }
  out->push_back(byte);
  return true;
}

bool Utf16ToAnsi(const std::string& bytes, bool bigEndian, std::string* ansi, std::string* error) {
  if (bytes.size() % 2 != 0) {
    *error = "is UTF-16 but ends in half a character";
    return false;
  }
  const auto unitAt = [&](std::size_t pos) {
    const uint16_t first = static_cast<uint8_t>(bytes[pos]);
    const uint16_t second = static_cast<uint8_t>(bytes[pos + 1]);
    return static_cast<uint16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  };
  std::string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t pos = 0; pos < bytes.size(); pos += 2) {
    uint32_t codePoint = unitAt(pos);
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
      const bool paired = codePoint <= 0xDBFF && pos + 2 < bytes.size() && unitAt(pos + 2) >= 0xDC00 &&
                          unitAt(pos + 2) <= 0xDFFF;
      if (!paired) {
        // The byte offset counts the byte-order mark, as an editor's would.
        *error = "is not valid UTF-16 (byte " + std::to_string(pos + 2) + ")";
        return false;
      }
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (unitAt(pos + 2) - 0xDC00);
      pos += 2;
    }
    if (!AppendAnsi(codePoint, &out, error)) return false;
  }
  *ansi = std::move(out);
  return true;
}

bool StartsWith(const std::string& bytes, const char* prefix) { return bytes.rfind(prefix, 0) == 0; }

bool ConvertTextFile(const std::string& bytes, std::string* ansi, std::string* error) {
  if (StartsWith(bytes, "\xFF\xFE")) return Utf16ToAnsi(bytes.substr(2), false, ansi, error);
  if (StartsWith(bytes, "\xFE\xFF")) return Utf16ToAnsi(bytes.substr(2), true, ansi, error);
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return Utf8ToAnsi(bytes.substr(3), ansi, error);
  if (bytes.find('\0') != std::string::npos) {
    *error = "holds NUL bytes, as UTF-16 text without a byte-order mark does; save it as UTF-8, or as "
             "UTF-16 with a byte-order mark";
    return false;
  }
  if (IsValidUtf8(bytes)) return Utf8ToAnsi(bytes, ansi, error);
  *ansi = bytes;
  return true;
}

}  // namespace

bool TextFileToAnsi(const std::string& bytes, std::string* ansi, std::string* error) {
  std::string converted;
  if (!ConvertTextFile(bytes, &converted, error)) return false;
  // The setup shows the text up to its first NUL; the rest would silently go missing.
  if (converted.find('\0') != std::string::npos) {
    *error = "holds a NUL character, where the setup would cut the text off";
    return false;
  }
  *ansi = std::move(converted);
  return true;
}

std::string ForTerminal(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    uint32_t codePoint = 0;
    if (DecodeUtf8(text, &pos, &codePoint)) {
      out.append(text, start, pos - start);
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(static_cast<uint8_t>(text[pos])));
    out += escaped;
    ++pos;
  }
  return out;
}
