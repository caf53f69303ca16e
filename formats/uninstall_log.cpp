#include "formats/uninstall_log.h"
