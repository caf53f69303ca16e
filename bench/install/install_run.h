#pragma once
#include <string>

#include "bench/install/bench_payload.h"

// The whole installation of the payload into `destination`, as the setup does it.
bool RunInstall(const BenchPayload& payload, const std::string& destination);
