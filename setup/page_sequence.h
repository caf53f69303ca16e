#pragma once
// The order of the wizard's pages: welcome, [information], [licence], destination,
// [summary], then (after the installation) finish.

enum WizardPage : int {
  kPageWelcome = 0,
  kPageInformation = 1,
  kPageLicense = 2,
  kPageDestination = 3,
  kPageSummary = 4,
  kPageFinish = 5,
  kPageCount = 6,
};

// The page Next or Back leads to from `current`, or `current` itself where the button
// does nothing (it is disabled or hidden there).
int NextPage(int current, bool hasInformation, bool hasLicense);
int PreviousPage(int current, bool hasInformation, bool hasLicense);
