#include "setup/version_check.h"

InstalledRelation RelationToInstalled(bool installed, const std::optional<ProductVersion>& installedVersion,
                                      const std::optional<ProductVersion>& thisVersion) {
  if (!installed) return InstalledRelation::kNotInstalled;
  const int order = CompareProductVersions(thisVersion, installedVersion);
  if (order == 0) return InstalledRelation::kSameInstalled;
  return order > 0 ? InstalledRelation::kOlderInstalled : InstalledRelation::kNewerInstalled;
}

std::string DowngradeQuestion(const std::string& productName, const std::string& installedVersion,
                              const std::string& thisVersion) {
  const std::string replacement = thisVersion.empty() ? "this setup's version, which has no number," : "version " + thisVersion;
  return "A newer version (" + installedVersion + ") of " + productName + " is installed.\nInstall " + replacement +
         " over it?";
}

std::optional<int> SilentRunRefusal(InstalledRelation relation, bool force) {
  if (relation == InstalledRelation::kNewerInstalled && !force) return kExitNewerVersionInstalled;
  return std::nullopt;
}

InstalledRelation RelationToInstalledProduct(const std::optional<InstalledProduct>& installed,
                                             const ProductFacts& thisProduct) {
  const bool isInstalled = installed && installed->IsInstalled();
  return RelationToInstalled(isInstalled, isInstalled ? installed->version : std::nullopt, thisProduct.version);
}

std::optional<int> CheckInstalledVersionForSilentRun(const std::string& productName, const ProductFacts& thisProduct,
                                                     bool force) {
  return SilentRunRefusal(RelationToInstalledProduct(FindInstalledProduct(productName), thisProduct), force);
}
