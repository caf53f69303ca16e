#pragma once
// The end-to-end test driver: start a Windows program, find its windows, act on them as
// a user would and read what they show.

#include "tests/driver/child_process.h"
#include "tests/driver/control_actions.h"
#include "tests/driver/host_path.h"
#include "tests/driver/keyboard.h"
#include "tests/driver/message_boxes.h"
#include "tests/driver/text_fit.h"
#include "tests/driver/wait.h"
#include "tests/driver/window_finder.h"
#include "tests/driver/window_state.h"
