#pragma once
// Control ids of the stand-in program, shared by its template and the driver's tests.

#define STAND_IN_DIALOG 200
#define STAND_IN_CHILD_DIALOG 201

#define ID_ASK 1001
#define ID_EDIT 1002
#define ID_CHANGE_COUNT 1003
#define ID_TOGGLE 1004
#define ID_ANSWER 1005
#define ID_ALT_K_COUNT 1006
#define ID_QUIT 1007
#define ID_HIDDEN 1008
#define ID_DISABLED 1009
#define ID_CHILD_PAGE 1010
#define ID_NESTED_EDIT 1011
