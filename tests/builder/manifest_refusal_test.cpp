// Manifests the setup could not read back, or would misread, are refused with a message
// that names the entry, and leave no output behind.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "builder/ansi_text.h"
#include "builder/build_setup.h"
#include "test_tree.h"

namespace {

const std::string k260(260, 'n');
const std::string k250(250, 'd');

struct BadManifest {
  const char* what;
  std::string manifest;  // after a valid [product] table unless it has its own
  std::vector<std::string> expected;  // every text must appear in the message
};

std::string Product(const std::string& name) { return "[product]\nname = \"" + name + "\"\n"; }
std::string File(const std::string& source, const std::string& target, const std::string& more = "") {
  return "[[files]]\nsource = \"" + source + "\"\ntarget = \"" + target + "\"\n" + more;
}
std::string Registry(const std::string& root, const std::string& type, const std::string& data) {
  return "[[registry]]\nroot = \"" + root + "\"\nkey = \"Software\\\\P\"\nname = \"V\"\ntype = \"" + type +
         "\"\ndata = " + data + "\n";
}
const std::string kOk = Product("P") + File("app.exe", "%DIR%\\\\app.exe");

const BadManifest kBadManifests[] = {
    // Strings the setup reads into 260-byte buffers.
    {"long product name", Product(k260), {"product", "260 bytes", "259"}},
    {"long link", kOk + "[[links]]\ncaption = \"c\"\nurl = \"" + k260 + "\"\n", {"links[0]", "url", "259"}},
    {"long target", Product("P") + File("app.exe", "%DIR%\\\\" + k260), {"files[0] (source \"app.exe\")", "259"}},
    {"long target inside a folder", Product("P") + File("bin", "%DIR%\\\\" + k250),
     {"files[0] (source \"bin\")", "tool.exe", "259"}},
    {"long shortcut description", Product("P") + File("app.exe", "%DIR%\\\\a.exe", "shortcut_description = \"" + k260 + "\"\n"),
     {"files[0]", "shortcut_description", "259"}},
    {"long registry data", kOk + Registry("HKEY_CURRENT_USER", "REG_SZ", "\"" + k260 + "\""), {"registry[0]", "data", "259"}},
    {"character outside Windows-1252", Product("\xE6\x97\xA5"), {"product", "U+65E5"}},
    // Targets.
    {"empty target", Product("P") + File("app.exe", ""), {"files[0] (source \"app.exe\")", "target is empty"}},
    {"forward slashes", Product("P") + File("app.exe", "%DIR%/app.exe"), {"files[0]", "'/'"}},
    {"doubled backslash", Product("P") + File("app.exe", "%DIR%\\\\\\\\app.exe"), {"files[0]", "empty folder name"}},
    {"wildcard in target", Product("P") + File("app.exe", "%DIR%\\\\a*.exe"), {"files[0]", "cannot hold"}},
    {"same target twice, in other case", kOk + File("bin/tool.exe", "%DIR%\\\\APP.EXE"),
     {"files[1] (source \"bin/tool.exe\")", "files[0]", "same place"}},
    // Every part of every target, the last one of a top-level target included.
    {"trailing dot in a target", Product("P") + File("app.exe", "%DIR%\\\\a.txt."), {"files[0] (source \"app.exe\")", "\"a.txt.\"", "dot or a space"}},
    {"trailing blank in a target", Product("P") + File("app.exe", "%DIR%\\\\b.txt "), {"files[0]", "dot or a space"}},
    {"trailing dot in a folder's part", Product("P") + File("app.exe", "%DIR%\\\\bin.\\\\a.exe"), {"files[0]", "\"bin.\""}},
    {"dot part", Product("P") + File("app.exe", "%DIR%\\\\.\\\\a.txt"), {"files[0]", "\".\""}},
    {"dot-dot part", Product("P") + File("app.exe", "%DIR%\\\\x\\\\..\\\\a.txt"), {"files[0]", "\"..\""}},
    {"device name as target", Product("P") + File("app.exe", "%DIR%\\\\CON"), {"files[0]", "device name"}},
    {"device name with extension", Product("P") + File("app.exe", "%SYSTEM%\\\\lpt1.txt"), {"files[0]", "device name"}},
    {"device name as folder", Product("P") + File("app.exe", "%DIR%\\\\aux\\\\a.exe"), {"files[0]", "device name"}},
    {"no path macro", Product("P") + File("app.exe", "bin\\\\a.txt"), {"files[0]", "must begin with %DIR%"}},
    {"drive path", Product("P") + File("app.exe", "C:\\\\a.txt"), {"files[0]", "must begin with %DIR%"}},
    {"macro with more letters", Product("P") + File("app.exe", "%DIRS%\\\\a.txt"), {"files[0]", "must begin with %DIR%"}},
    {"macro in small letters", Product("P") + File("app.exe", "%dir%\\\\b.txt"), {"files[0]", "small letters"}},
    {"file at a bare macro", Product("P") + File("app.exe", "%DIR%"), {"files[0]", "folder only"}},
    {"macro after the beginning", Product("P") + File("app.exe", "%DIR%\\\\%SYSTEM%\\\\a.txt"), {"files[0]", "%SYSTEM%"}},
    {"colon after the macro", Product("P") + File("app.exe", "%DIR%\\\\a:b.txt"), {"files[0]", "':'"}},
    {"folder target with a trailing dot", Product("P") + File("bin", "%DIR%\\\\bin."), {"files[0] (source \"bin\")", "\"bin.\""}},
    {"trailing blank inside a folder", Product("P") + File("blank", "%DIR%\\\\b"), {"files[0] (source \"blank\")", "dot or a space"}},
    // Letters Windows does not tell apart, Windows-1252's own among them.
    {"S with caron", Product("P") + File("app.exe", "%DIR%\\\\\xC5\xA0x.txt") + File("bin/tool.exe", "%DIR%\\\\\xC5\xA1x.txt"),
     {"files[1]", "same place", "\xC5\xA1x.txt"}},
    {"OE ligature", Product("P") + File("app.exe", "%DIR%\\\\\xC5\x92.txt") + File("bin/tool.exe", "%DIR%\\\\\xC5\x93.txt"), {"files[1]", "same place"}},
    {"Z with caron", Product("P") + File("app.exe", "%DIR%\\\\\xC5\xBD.txt") + File("bin/tool.exe", "%DIR%\\\\\xC5\xBE.txt"), {"files[1]", "same place"}},
    {"Y with diaeresis", Product("P") + File("app.exe", "%DIR%\\\\\xC5\xB8.txt") + File("bin/tool.exe", "%DIR%\\\\\xC3\xBF.txt"), {"files[1]", "same place"}},
    {"thorn", Product("P") + File("app.exe", "%DIR%\\\\\xC3\x9E.txt") + File("bin/tool.exe", "%DIR%\\\\\xC3\xBE.txt"), {"files[1]", "same place"}},
    {"run_at_finish on a folder", Product("P") + File("bin", "%DIR%\\\\bin", "run_at_finish = true\n"),
     {"files[0] (source \"bin\")", "no effect on a folder"}},
    {"bad shortcut name", Product("P") + File("app.exe", "%DIR%\\\\a.exe", "shortcut_name = \"a/b\"\n"),
     {"files[0]", "shortcut_name"}},
    // Sources.
    {"missing source", Product("P") + File("missing.exe", "%DIR%\\\\m.exe"), {"files[0] (source \"missing.exe\")", "does not exist"}},
    {"source too large", Product("P") + File("huge.bin", "%DIR%\\\\huge.bin"), {"files[0] (source \"huge.bin\")", "4 GiB"}},
    {"pipe in a folder", Product("P") + File("odd", "%DIR%\\\\odd"), {"files[0] (source \"odd\")", "pipe", "neither a file nor a folder"}},
    {"name Windows cannot hold", Product("P") + File("colon", "%DIR%\\\\c"), {"files[0] (source \"colon\")", "a:b"}},
    {"device name in a folder", Product("P") + File("device", "%DIR%\\\\d"), {"files[0] (source \"device\")", "device name"}},
    {"backslash in a name in a folder", Product("P") + File("slashed", "%DIR%\\\\s"), {"files[0] (source \"slashed\")", "a\\b.txt", "backslash"}},
    {"backslash in a file's name", Product("P") + File("a\\\\b.txt", "%DIR%\\\\"), {"files[0]", "backslash"}},
    // Registry values.
    {"root key in lower case", kOk + Registry("hkey_local_machine", "REG_SZ", "\"x\""), {"registry[0]", "root"}},
    {"abbreviated root key", kOk + Registry("HKLM", "REG_SZ", "\"x\""), {"registry[0]", "HKLM"}},
    {"unknown value type", kOk + Registry("HKEY_CURRENT_USER", "REG_BINARY", "\"x\""), {"registry[0]", "REG_BINARY"}},
    {"value type in lower case", kOk + Registry("HKEY_CURRENT_USER", "reg_sz", "\"x\""), {"registry[0]", "reg_sz"}},
    {"DWORD with letters", kOk + Registry("HKEY_CURRENT_USER", "REG_DWORD", "\"12abc\""), {"registry[0]", "REG_DWORD"}},
    {"negative DWORD", kOk + Registry("HKEY_CURRENT_USER", "REG_DWORD", "-1"), {"registry[0]", "REG_DWORD"}},
    {"DWORD of 2^32", kOk + Registry("HKEY_CURRENT_USER", "REG_DWORD", "\"4294967296\""), {"registry[0]", "4294967296"}},
    {"empty DWORD", kOk + Registry("HKEY_CURRENT_USER", "REG_DWORD", "\"\""), {"registry[0]", "REG_DWORD"}},
    {"DWORD with a space", kOk + Registry("HKEY_CURRENT_USER", "REG_DWORD", "\" 5\""), {"registry[0]", "REG_DWORD"}},
    // Product names that cannot stand as a Windows file name.
    {"backslash in name", Product("a\\\\b"), {"product", "'\\'"}},
    {"slash in name", Product("a/b"), {"product", "'/'"}},
    {"colon in name", Product("a:b"), {"product", "':'"}},
    {"star in name", Product("a*b"), {"product", "'*'"}},
    {"question mark in name", Product("a?b"), {"product", "'?'"}},
    {"quote in name", Product("a\\\"b"), {"product", "'\"'"}},
    {"less-than in name", Product("a<b"), {"product", "'<'"}},
    {"greater-than in name", Product("a>b"), {"product", "'>'"}},
    {"bar in name", Product("a|b"), {"product", "'|'"}},
    {"control character in name", Product("a\\tb"), {"product", "control character"}},
    {"empty name", Product(""), {"product", "is empty"}},
    {"trailing dot", Product("Demo."), {"product", "dot or a space"}},
    {"trailing space", Product("Demo "), {"product", "dot or a space"}},
    {"device name", Product("con"), {"product", "device name"}},
    // The product's version and identity.
    {"version with four dots", Product("P") + "version = \"1.2.3.4.5\"\n", {"product", "\"version\" \"1.2.3.4.5\"", "more than four parts"}},
    {"version part above 65535", Product("P") + "version = \"1.65536\"\n", {"product", "1.65536", "above 65535"}},
    {"version with letters", Product("P") + "version = \"2.0-beta\"\n", {"product", "2.0-beta", "digits and dots", "for example"}},
    {"version with an empty part", Product("P") + "version = \"2..1\"\n", {"product", "2..1", "empty part"}},
    {"empty version", Product("P") + "version = \"\"\n", {"product", "version", "is empty"}},
    {"version as a TOML number", Product("P") + "version = 1.10\n", {"product", "version", "in quotes"}},
    {"long publisher", Product("P") + "publisher = \"" + k260 + "\"\n", {"product", "publisher", "259"}},
    {"support address outside Windows-1252", Product("P") + "support_url = \"https://\xE6\x97\xA5\"\n", {"product", "support_url", "U+65E5"}},
    // Shape of the manifest.
    {"no product table", File("app.exe", "%DIR%\\\\a.exe"), {"product", "missing"}},
    {"misspelt key", kOk + "[colors]\nin = \"#000000\"\n", {"manifest", "colors"}},
    {"misspelt file key", Product("P") + File("app.exe", "%DIR%\\\\a.exe", "startmenu = true\n"), {"files[0]", "startmenu"}},
    {"bad colour", kOk + "[colours]\nin = \"#12345\"\n", {"colours", "#RRGGBB"}},
    {"bad placement", kOk + "[background]\nhorizontal = \"middle\"\n", {"background", "middle"}},
    {"four links", kOk + "[[links]]\ncaption=\"1\"\nurl=\"u\"\n[[links]]\ncaption=\"2\"\nurl=\"u\"\n"
                         "[[links]]\ncaption=\"3\"\nurl=\"u\"\n[[links]]\ncaption=\"4\"\nurl=\"u\"\n",
     {"links[3]", "three"}},
    // Texts shown in one piece in places of fixed size.
    {"product name too long to fit", Product(std::string(33, 'n')), {"product", "33 characters", "at most 32"}},
    {"link caption too long to fit", kOk + "[[links]]\ncaption = \"" + std::string(33, 'c') + "\"\nurl = \"u\"\n",
     {"links[0]", "caption", "33 characters", "at most 32"}},
    {"link without caption", kOk + "[[links]]\ncaption = \"\"\nurl = \"u\"\n", {"links[0]", "caption"}},
    {"unknown system", "[product]\nname = \"P\"\nsystems = [\"win7\"]\n", {"product", "systems"}},
    {"no system", "[product]\nname = \"P\"\nsystems = []\n", {"product", "systems"}},
    {"flag that is not a boolean", Product("P") + File("app.exe", "%DIR%\\\\a.exe", "desktop = \"yes\"\n"),
     {"files[0]", "desktop", "true or false"}},
    {"TOML syntax error", "[product\nname = \"P\"\n", {"line 1"}},
    {"missing information text", "[product]\nname = \"P\"\ninformation = \"nothere.txt\"\n", {"product", "information", "nothere.txt"}},
    {"information text with NUL bytes", "[product]\nname = \"P\"\ninformation = \"nul.txt\"\n", {"product", "nul.txt", "NUL"}},
    {"picture that is no bitmap", kOk + "[background]\npicture = \"app.exe\"\n", {"background", "bitmap"}},
};

class ManifestRefusal : public ::testing::TestWithParam<BadManifest> {
 protected:
  void SetUp() override {
    tree_.WriteFile("app.exe", "MZ");
    tree_.WriteFile("bin/tool.exe", "tool");
    tree_.WriteFile("colon/a:b", "x");
    tree_.WriteFile("device/con.txt", "x");
    tree_.WriteFile("blank/b.txt ", "x");
    tree_.WriteFile("slashed/a\\b.txt", "x");
    tree_.WriteFile("a\\b.txt", "x");
    tree_.WriteFile("nul.txt", std::string("H\0i\0", 4));  // UTF-16 without its byte-order mark
    tree_.MakeFolder("odd");
    ASSERT_EQ(mkfifo(tree_.Path("odd/pipe").c_str(), 0600), 0);
    // Sparse, so it takes no disk space.
    const int huge = open(tree_.Path("huge.bin").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(huge, 0);
    ASSERT_EQ(ftruncate(huge, 0x100000000LL), 0);
    close(huge);
  }

  TestTree tree_;
};

TEST_P(ManifestRefusal, NamesTheEntryAndLeavesNoOutput) {
  const BadManifest& bad = GetParam();
  BuildRequest request;
  request.manifestPath = tree_.Manifest(bad.manifest);
  request.outputBase = tree_.OutputBase();
  BuildResult result;
  std::string error;
  EXPECT_FALSE(BuildSetup(request, &result, &error)) << bad.manifest;
  for (const std::string& text : bad.expected) {
    EXPECT_NE(error.find(text), std::string::npos) << "message: " << error << "\nlacks: " << text;
  }
  EXPECT_EQ(ForTerminal(error), error) << "the message is not UTF-8";
  EXPECT_TRUE(tree_.OutputFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(Builder, ManifestRefusal, ::testing::ValuesIn(kBadManifests),
                         [](const ::testing::TestParamInfo<BadManifest>& info) {
                           std::string name = info.param.what;
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// The limits are on the stored bytes: 259 of them fit, and "é" takes one byte once stored;
// a product name and a link caption may have 32 such characters.
TEST(ManifestLimits, StringsOf259StoredBytesAreAccepted) {
  TestTree tree;
  tree.WriteFile("a.txt", "a");
  const std::string name = "\xC3\xA9" + std::string(31, 'n');
  const std::string link = "[[links]]\ncaption = \"\xC3\xA9" + std::string(31, 'c') + "\"\nurl = \"u\"\n";
  BuildRequest request;
  request.manifestPath =
      tree.Manifest(Product(name) + link + File("a.txt", "%DIR%\\\\" + std::string(253, 't')));
  request.outputBase = tree.OutputBase();
  BuildResult result;
  std::string error;
  EXPECT_TRUE(BuildSetup(request, &result, &error)) << error;
}

}  // namespace
