#include "formats/record_stream.h"
