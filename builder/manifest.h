#pragma once
// What a manifest says, as read from its TOML text. Texts are still UTF-8 here; the
// payload planner turns them into the ANSI strings the setup data carries.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The eight systems the setup program tells apart, in the order of its support flags.
enum class WindowsSystem { Win95, Win98, WinMe, WinNT, Win2000, WinXP, Win2003, Vista };

struct ManifestLink {
  std::string label;  // "links[0]", for messages
  std::string caption;
  std::string url;
};

struct ManifestFile {
  std::string label;  // "files[2] (source \"bin\")", for messages
  std::string source;
  std::string target;
  bool startMenu = false;
  bool desktop = false;
  bool startup = false;
  std::string shortcutName;
  std::string shortcutDescription;
  bool runAtFinish = false;
  bool registerServer = false;
};

struct ManifestRegistryValue {
  std::string label;  // "registry[0]", for messages
  std::string root;
  std::string key;
  std::string name;
  std::string type;
  std::string data;
};

struct Manifest {
  std::filesystem::path folder;  // texts, the picture and (without --root) sources are found here
  std::string productName;
  std::vector<WindowsSystem> systems;
  std::string information;  // path of the information text; empty: none
  std::string license;      // path of the licence text; empty: none
  // Identity for Windows and deployment tools; empty: not known.
  std::string version;  // one to four dotted numbers, checked when read
  std::string publisher;
  std::string url;         // the product's web page
  std::string supportUrl;  // where users get help
  std::vector<ManifestLink> links;
  uint32_t colourIn = 0x00783C1E;   // COLORREF (red in the lowest byte): start of every gradient; #1E3C78
  uint32_t colourOut = 0x00000000;  // end of every gradient; black
  bool showBackground = false;
  std::string picture;  // path of a .bmp; empty: none
  uint32_t pictureHorizontal = 1;  // 0 left, 1 centre, 2 right
  uint32_t pictureVertical = 1;    // 0 top, 1 centre, 2 bottom
  std::vector<ManifestFile> files;
  std::vector<ManifestRegistryValue> registry;
};
