#include "compress/crc32.h"
