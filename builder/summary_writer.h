#pragma once
// Writes the summary record: the head, SetupConfig, both CRC values and one line per entry
// of the data file, in the data file's order.

#include <cstdint>
#include <string>

#include "builder/payload_plan.h"
#include "formats/summary_record.h"

SummaryRecord MakeSummaryRecord(const SummaryHead& head, const SetupConfig& config, uint32_t dataFileCrc,
                                uint32_t setupDataCrc, const PayloadPlan& plan);

bool WriteSummaryFile(const std::string& path, const SummaryRecord& record, std::string* error);
