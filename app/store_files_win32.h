// Where this program's preset store lives on this machine.
#pragma once

#include <string>

#include "presets/preset_store.h"

StoreFiles ThisProgramsStoreFiles(const std::string& programName);
