#pragma once
// Identifiers of the test dialog; the resource script includes this file too.
#define IDD_CONTROLS_TEST 600
#define IDC_TEST_CAPTION 601
#define IDC_TEST_LEFT_LINK 602
#define IDC_TEST_RIGHT_LINK 603
#define IDC_TEST_CENTRED_LINK 604
#define IDC_TEST_EMPTY_LINK 605
#define IDC_TEST_MIDDLE_LINK 606
