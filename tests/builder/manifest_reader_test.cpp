// Characters beyond ASCII reach the TOML reader only as escapes, whatever kind of string
// or comment they are in, and mean what they meant.

#include <gtest/gtest.h>

#include "builder/manifest_reader.h"

namespace {

TEST(ManifestText, CharactersBeyondAsciiKeepTheirMeaningInEveryKindOfString) {
  const struct {
    const char* toml;  // the product table's name line
    const char* name;
  } cases[] = {
      {"name = \"Caf\xC3\xA9 \\\"\xC3\xA9\\\"\"", "Caf\xC3\xA9 \"\xC3\xA9\""},
      {"name = 'C:\\\xC3\xA9 \"q\"'", "C:\\\xC3\xA9 \"q\""},
      {"name = \"\"\"\xC3\xA9\"\"\"\"", "\xC3\xA9\""},
      {"name = '''\xC3\xA9 ''\\'''", "\xC3\xA9 ''\\"},
      {"name = \"\"\"a\\\n   \xCB\xA0\"\"\"", "a\xCB\xA0"},
      {"name = \"\xF0\x9F\x98\x80\" # \xC3\xA9 \xCB\xA0 '\"", "\xF0\x9F\x98\x80"},
  };
  for (const auto& c : cases) {
    Manifest manifest;
    std::string error;
    EXPECT_TRUE(ReadManifestText(std::string("[product]\n") + c.toml + "\n", "m.toml", &manifest, &error))
        << c.toml << ": " << error;
    EXPECT_EQ(manifest.productName, c.name) << c.toml;
  }
}

TEST(ManifestText, CharactersBeyondAsciiWhereTomlHasNoTextAreRefused) {
  const char* const texts[] = {
      "[product]\nname = \xC3\xA9\n",
      "[product]\n\xCB\xA0 = 1\n",
      "[product]\nname = \"x\"\xCB\xA0\n",
      "[product]\n\"\xCB\xA0\" = 1\n",
      "\xCB\xA0" "B",
      "[product]\nname = \"\"\"\\\xC3\xA9\"\"\"\n",
  };
  for (const char* text : texts) {
    Manifest manifest;
    std::string error;
    EXPECT_FALSE(ReadManifestText(text, "m.toml", &manifest, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

}  // namespace
