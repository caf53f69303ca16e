#include "setup/page_sequence.h"

int NextPage(int current, bool hasInformation, bool hasLicense) {
  switch (current) {
    case kPageWelcome:
      if (hasInformation) return kPageInformation;
      return hasLicense ? kPageLicense : kPageDestination;
    case kPageInformation:
      return hasLicense ? kPageLicense : kPageDestination;
    case kPageLicense:
      return kPageDestination;
    case kPageDestination:
      // The summary page exists exactly when there is a licence; without one the
      // destination page is the last page and keeps Next disabled.
      return hasLicense ? kPageSummary : kPageDestination;
    default:
      return current;
  }
}

int PreviousPage(int current, bool hasInformation, bool hasLicense) {
  switch (current) {
    case kPageInformation:
      return kPageWelcome;
    case kPageLicense:
      return hasInformation ? kPageInformation : kPageWelcome;
    case kPageDestination:
      if (hasLicense) return kPageLicense;
      return hasInformation ? kPageInformation : kPageWelcome;
    case kPageSummary:
      return kPageDestination;
    default:
      return current;
  }
}
