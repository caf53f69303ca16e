#include "formats/setup_config.h"
