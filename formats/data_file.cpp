#include "formats/data_file.h"
