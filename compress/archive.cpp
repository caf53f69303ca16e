#include "compress/archive.h"
