#pragma once
#include <string>

#include "bench/install/bench_payload.h"

// Inflates the payload's archive and writes every file's bytes below `destination`.
bool RunFloor(const BenchPayload& payload, const std::string& destination);
