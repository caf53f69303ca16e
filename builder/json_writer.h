#pragma once
// A small JSON writer with two-space indentation, enough for the dump command.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Escapes ANSI text as a JSON string literal, quotes included. Bytes from 0x80 up are
// Windows-1252 characters and come out as the matching \uXXXX escapes, so the output is
// plain ASCII whatever the stored bytes are.
std::string JsonString(const std::string& ansi);

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void BeginObject(const char* key = nullptr);
  void EndObject();
  void BeginArray(const char* key = nullptr);
  void EndArray();
  void String(const char* key, const std::string& ansi);
  void Number(const char* key, uint64_t value);
  void Bool(const char* key, bool value);
  // Ends the document with a newline.
  void Finish();

 private:
  void Open(const char* key, char bracket);
  void Close(char bracket);
  void Key(const char* key);

  std::ostream& out_;
  std::vector<bool> hasItems_;  // one level per open object or array
};
