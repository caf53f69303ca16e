#include "builder/setup_config_builder.h"

#include <cstring>

#include "builder/stored_text.h"
#include "builder/windows_names.h"

namespace {

constexpr std::size_t kMaxLinks = 3;

// `stored` is the text as the setup shows it, one byte per character.
bool FitsFixedPlace(const std::string& stored, std::size_t limit, const std::string& what, const std::string& text,
                    std::string* reason) {
  if (stored.size() <= limit) return true;
  *reason = what + " \"" + text + "\" has " + std::to_string(stored.size()) + " characters; at most " +
            std::to_string(limit) + " fit where the setup shows it";
  return false;
}

bool SetProductName(const Manifest& manifest, SetupConfig* config, std::string* error) {
  std::string name, reason;
  if (!ToStoredString(manifest.productName, "name", &name, &reason)) {
    *error = "product: " + reason;
    return false;
  }
  // The name becomes the Start Menu folder and the title of the Add/Remove Programs entry.
  if (!IsValidWindowsFileName(name, &reason)) {
    *error = "product: name \"" + manifest.productName + "\" " + reason;
    return false;
  }
  if (!FitsFixedPlace(name, kMaxProductNameLength, "name", manifest.productName, &reason)) {
    *error = "product: " + reason + " (the caption bands and the welcome page)";
    return false;
  }
  CopyToBuffer(name, config->ProductName);
  return true;
}

void SetSystems(const Manifest& manifest, SetupConfig* config) {
  for (const WindowsSystem system : manifest.systems) {
    switch (system) {
      case WindowsSystem::Win95: config->SupportsWin95 = 1; break;
      case WindowsSystem::Win98: config->SupportsWin98 = 1; break;
      case WindowsSystem::WinMe: config->SupportsWinMe = 1; break;
      case WindowsSystem::WinNT: config->SupportsWinNT = 1; break;
      case WindowsSystem::Win2000: config->SupportsWin2000 = 1; break;
      case WindowsSystem::WinXP: config->SupportsWinXP = 1; break;
      case WindowsSystem::Win2003: config->SupportsWin2003 = 1; break;
      case WindowsSystem::Vista: config->SupportsWinVista2008 = 1; break;
    }
  }
}

bool SetLinks(const Manifest& manifest, SetupConfig* config, std::string* error) {
  if (manifest.links.size() > kMaxLinks) {
    *error = manifest.links[kMaxLinks].label + ": the setup shows at most three links";
    return false;
  }
  char(*captions[kMaxLinks])[kStringBufferSize] = {&config->Link1Caption, &config->Link2Caption,
                                                   &config->Link3Caption};
  char(*urls[kMaxLinks])[kStringBufferSize] = {&config->Link1Url, &config->Link2Url, &config->Link3Url};
  for (std::size_t i = 0; i < manifest.links.size(); ++i) {
    const ManifestLink& link = manifest.links[i];
    std::string caption, url, reason;
    if (link.caption.empty() || link.url.empty()) {
      *error = link.label + ": caption and url must both be given (an empty caption hides the link)";
      return false;
    }
    if (!ToStoredString(link.caption, "caption", &caption, &reason) ||
        !ToStoredString(link.url, "url", &url, &reason)) {
      *error = link.label + ": " + reason;
      return false;
    }
    if (!FitsFixedPlace(caption, kMaxLinkCaptionLength, "caption", link.caption, &reason)) {
      *error = link.label + ": " + reason + " (one line of the information and finish pages)";
      return false;
    }
    CopyToBuffer(caption, *captions[i]);
    CopyToBuffer(url, *urls[i]);
  }
  return true;
}

// The setup keeps this path but never uses it, so it must not cost a build: a path that
// Windows-1252 cannot hold or that is too long is cut down to the file name, or to nothing.
std::string StorableSetupFilePath(const std::string& utf8Path) {
  const std::size_t slash = utf8Path.find_last_of("/\\");
  const std::string fileName = slash == std::string::npos ? utf8Path : utf8Path.substr(slash + 1);
  for (const std::string& candidate : {utf8Path, fileName}) {
    std::string stored, ignored;
    if (ToStoredString(candidate, "", &stored, &ignored)) return stored;
  }
  return std::string();
}

}  // namespace

bool MakeSetupConfig(const Manifest& manifest, const std::string& setupFilePath, SetupConfig* config,
                     std::string* error) {
  std::memset(config, 0, sizeof *config);
  CopyToBuffer(StorableSetupFilePath(setupFilePath), config->SetupFilePath);
  if (!SetProductName(manifest, config, error) || !SetLinks(manifest, config, error)) return false;
  SetSystems(manifest, config);
  config->clrIn = manifest.colourIn;
  config->clrOut = manifest.colourOut;
  config->ShowBackground = manifest.showBackground ? 1 : 0;
  config->BackgroundImageX = manifest.pictureHorizontal;
  config->BackgroundImageY = manifest.pictureVertical;
  return true;
}
