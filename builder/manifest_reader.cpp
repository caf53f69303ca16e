#include "builder/manifest_reader.h"

#include <cctype>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>

// Parse errors come back as a value, so nothing can escape as an exception.
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

#include "builder/toml_escaping.h"
#include "formats/product_version.h"

namespace {

// Reads the keys of one table, each at most once, and reports the first mistake in the
// words of the manifest: the table's label and the key.
class TableReader {
 public:
  TableReader(const toml::table& table, std::string label, std::string* error)
      : table_(table), label_(std::move(label)), error_(error) {}

  void SetLabel(std::string label) { label_ = std::move(label); }

  bool OnlyKeys(std::initializer_list<const char*> allowed) {
    for (const auto& [key, node] : table_) {
      bool known = false;
      for (const char* name : allowed) known = known || key.str() == name;
      if (!known) return Fail("unknown key \"" + std::string(key.str()) + "\"");
    }
    return true;
  }

  bool String(const char* key, std::string* out, bool required) {
    const toml::node* node = table_.get(key);
    if (node == nullptr) return !required || Fail("the key \"" + std::string(key) + "\" is missing");
    if (!node->is_string()) return Fail("\"" + std::string(key) + "\" must be a text in quotes");
    *out = *node->value<std::string>();
    return true;
  }

  bool Bool(const char* key, bool* out) {
    const toml::node* node = table_.get(key);
    if (node == nullptr) return true;
    if (!node->is_boolean()) return Fail("\"" + std::string(key) + "\" must be true or false");
    *out = *node->value<bool>();
    return true;
  }

  // A text, or for convenience a whole number, which is kept as its decimal text.
  bool TextOrNumber(const char* key, std::string* out) {
    const toml::node* node = table_.get(key);
    if (node != nullptr && node->is_integer()) {
      *out = std::to_string(*node->value<int64_t>());
      return true;
    }
    return String(key, out, false);
  }

  const toml::node* Get(const char* key) const { return table_.get(key); }

  bool Fail(const std::string& message) {
    *error_ = label_ + ": " + message;
    return false;
  }

 private:
  const toml::table& table_;
  std::string label_;
  std::string* error_;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool ParseSystemName(const std::string& name, std::vector<WindowsSystem>* systems) {
  static const struct {
    const char* name;
    WindowsSystem system;
  } kNames[] = {{"win95", WindowsSystem::Win95},     {"win98", WindowsSystem::Win98},
                {"winme", WindowsSystem::WinMe},     {"winnt", WindowsSystem::WinNT},
                {"win2000", WindowsSystem::Win2000}, {"winxp", WindowsSystem::WinXP},
                {"win2003", WindowsSystem::Win2003}, {"vista", WindowsSystem::Vista}};
  bool known = false;
  for (const auto& entry : kNames) {
    if (name == "all" || name == entry.name) {
      systems->push_back(entry.system);
      known = true;
    }
  }
  return known;
}

bool ReadSystems(TableReader& product, Manifest* manifest) {
  const toml::node* node = product.Get("systems");
  if (node == nullptr) return ParseSystemName("all", &manifest->systems);
  const toml::array* list = node->as_array();
  if (list == nullptr || list->empty()) {
    return product.Fail("\"systems\" must be a list of system names, for example [\"winxp\", \"vista\"]");
  }
  for (const toml::node& item : *list) {
    if (!item.is_string() || !ParseSystemName(*item.value<std::string>(), &manifest->systems)) {
      return product.Fail(
          "\"systems\" holds an unknown name; use all, win95, win98, winme, winnt, win2000, "
          "winxp, win2003 or vista");
    }
  }
  return true;
}

// A version is text, so that "1.10" stays apart from "1.1"; a bare TOML number is refused
// for the same reason rather than guessed at.
bool ReadVersion(TableReader& product, Manifest* manifest) {
  const toml::node* node = product.Get("version");
  if (node == nullptr) return true;
  const char* kForm = "; write one to four numbers from 0 to 65535 with dots between them, in quotes, for example \"2.1.0\"";
  if (!node->is_string()) return product.Fail(std::string("\"version\" must be a text in quotes") + kForm);
  const std::string text = *node->value<std::string>();
  ProductVersion parsed;
  std::string reason;
  if (!ParseProductVersion(text, &parsed, &reason)) {
    return product.Fail("\"version\" " + Quoted(text) + " " + reason + kForm);
  }
  manifest->version = text;
  return true;
}

bool ReadProduct(const toml::table& root, Manifest* manifest, std::string* error) {
  const toml::node* node = root.get("product");
  if (node == nullptr || !node->is_table()) {
    *error = "product: the table [product] with the product's name is missing";
    return false;
  }
  TableReader product(*node->as_table(), "product", error);
  return product.OnlyKeys({"name", "systems", "information", "license", "version", "publisher", "url",
                           "support_url"}) &&
         product.String("name", &manifest->productName, true) && ReadSystems(product, manifest) &&
         product.String("information", &manifest->information, false) &&
         product.String("license", &manifest->license, false) && ReadVersion(product, manifest) &&
         product.String("publisher", &manifest->publisher, false) &&
         product.String("url", &manifest->url, false) &&
         product.String("support_url", &manifest->supportUrl, false);
}

// Calls `read` for every table of the array of tables `name`, with its label "name[i]".
template <typename ReadOne>
bool ForEachTable(const toml::table& root, const char* name, std::string* error, ReadOne read) {
  const toml::node* node = root.get(name);
  if (node == nullptr) return true;
  const toml::array* list = node->as_array();
  if (list == nullptr) {
    *error = std::string(name) + ": must be written as [[" + name + "]] tables";
    return false;
  }
  for (std::size_t i = 0; i < list->size(); ++i) {
    const std::string label = std::string(name) + "[" + std::to_string(i) + "]";
    const toml::table* table = list->get(i)->as_table();
    if (table == nullptr) {
      *error = label + ": must be a table";
      return false;
    }
    if (!read(TableReader(*table, label, error), label)) return false;
  }
  return true;
}

bool ReadLinks(const toml::table& root, Manifest* manifest, std::string* error) {
  return ForEachTable(root, "links", error, [&](TableReader table, const std::string& label) {
    ManifestLink link;
    link.label = label;
    if (!table.OnlyKeys({"caption", "url"}) || !table.String("caption", &link.caption, true) ||
        !table.String("url", &link.url, true)) {
      return false;
    }
    manifest->links.push_back(link);
    return true;
  });
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#RRGGBB" to a COLORREF, which keeps red in the lowest byte.
bool ParseColour(const std::string& text, uint32_t* colour) {
  if (text.size() != 7 || text[0] != '#') return false;
  uint32_t channels[3];
  for (int i = 0; i < 3; ++i) {
    const int high = HexDigit(text[1 + 2 * i]);
    const int low = HexDigit(text[2 + 2 * i]);
    if (high < 0 || low < 0) return false;
    channels[i] = static_cast<uint32_t>(high * 16 + low);
  }
  *colour = channels[0] | (channels[1] << 8) | (channels[2] << 16);
  return true;
}

bool ReadColour(TableReader& table, const char* key, uint32_t* colour) {
  std::string text;
  if (!table.String(key, &text, false)) return false;
  if (text.empty()) return true;
  return ParseColour(text, colour) ||
         table.Fail(Quoted(key) + " must be a colour written as \"#RRGGBB\", not " + Quoted(text));
}

bool ReadColours(const toml::table& root, Manifest* manifest, std::string* error) {
  const toml::node* node = root.get("colours");
  if (node == nullptr) return true;
  if (!node->is_table()) {
    *error = "colours: must be a table [colours]";
    return false;
  }
  TableReader colours(*node->as_table(), "colours", error);
  return colours.OnlyKeys({"in", "out"}) && ReadColour(colours, "in", &manifest->colourIn) &&
         ReadColour(colours, "out", &manifest->colourOut);
}

bool ReadPlacement(TableReader& table, const char* key, const char* nearName, const char* farName,
                   uint32_t* placement) {
  std::string text;
  if (!table.String(key, &text, false)) return false;
  if (text.empty()) return true;
  if (text == nearName) {
    *placement = 0;
  } else if (text == "centre" || text == "center") {
    *placement = 1;
  } else if (text == farName) {
    *placement = 2;
  } else {
    return table.Fail(Quoted(key) + " must be \"" + nearName + "\", \"centre\" or \"" + farName +
                      "\", not " + Quoted(text));
  }
  return true;
}

bool ReadBackground(const toml::table& root, Manifest* manifest, std::string* error) {
  const toml::node* node = root.get("background");
  if (node == nullptr) return true;
  if (!node->is_table()) {
    *error = "background: must be a table [background]";
    return false;
  }
  TableReader background(*node->as_table(), "background", error);
  return background.OnlyKeys({"show", "picture", "horizontal", "vertical"}) &&
         background.Bool("show", &manifest->showBackground) &&
         background.String("picture", &manifest->picture, false) &&
         ReadPlacement(background, "horizontal", "left", "right", &manifest->pictureHorizontal) &&
         ReadPlacement(background, "vertical", "top", "bottom", &manifest->pictureVertical);
}

bool ReadFiles(const toml::table& root, Manifest* manifest, std::string* error) {
  return ForEachTable(root, "files", error, [&](TableReader table, const std::string& label) {
    ManifestFile file;
    if (!table.String("source", &file.source, true)) return false;
    file.label = label + " (source " + Quoted(file.source) + ")";
    table.SetLabel(file.label);
    if (!table.OnlyKeys({"source", "target", "start_menu", "desktop", "startup", "shortcut_name",
                         "shortcut_description", "run_at_finish", "register_server"}) ||
        !table.String("target", &file.target, true) || !table.Bool("start_menu", &file.startMenu) ||
        !table.Bool("desktop", &file.desktop) || !table.Bool("startup", &file.startup) ||
        !table.String("shortcut_name", &file.shortcutName, false) ||
        !table.String("shortcut_description", &file.shortcutDescription, false) ||
        !table.Bool("run_at_finish", &file.runAtFinish) ||
        !table.Bool("register_server", &file.registerServer)) {
      return false;
    }
    manifest->files.push_back(file);
    return true;
  });
}

bool ReadRegistry(const toml::table& root, Manifest* manifest, std::string* error) {
  return ForEachTable(root, "registry", error, [&](TableReader table, const std::string& label) {
    ManifestRegistryValue value;
    value.label = label;
    if (!table.OnlyKeys({"root", "key", "name", "type", "data"}) ||
        !table.String("root", &value.root, true) || !table.String("key", &value.key, false) ||
        !table.String("name", &value.name, false) || !table.String("type", &value.type, true) ||
        !table.TextOrNumber("data", &value.data)) {
      return false;
    }
    manifest->registry.push_back(value);
    return true;
  });
}

bool CheckTopLevelKeys(const toml::table& root, std::string* error) {
  TableReader top(root, "manifest", error);
  return top.OnlyKeys({"product", "links", "colours", "background", "files", "registry"});
}

}  // namespace

bool ReadManifestText(const std::string& text, const std::string& sourceName, Manifest* manifest,
                      std::string* error) {
  std::string escaped;
  if (!EscapeNonAsciiForToml(text, &escaped, error)) return false;
  toml::parse_result parsed = toml::parse(escaped, sourceName);
  if (!parsed) {
    const toml::parse_error& failure = parsed.error();
    std::ostringstream message;
    message << "line " << failure.source().begin.line << ", column " << failure.source().begin.column
            << ": " << failure.description();
    *error = message.str();
    return false;
  }
  const toml::table& root = parsed.table();
  return CheckTopLevelKeys(root, error) && ReadProduct(root, manifest, error) &&
         ReadLinks(root, manifest, error) && ReadColours(root, manifest, error) &&
         ReadBackground(root, manifest, error) && ReadFiles(root, manifest, error) &&
         ReadRegistry(root, manifest, error);
}

bool ReadManifestFile(const std::string& path, Manifest* manifest, std::string* error) {
  std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
  if (!file) {
    *error = "cannot be opened";
    return false;
  }
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) {
    *error = "cannot be read";
    return false;
  }
  manifest->folder = std::filesystem::u8path(path).parent_path();
  return ReadManifestText(text, path, manifest, error);
}
