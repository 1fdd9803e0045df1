// Where this program's preset store lives on this machine.
#pragma once

#include <string>

#include "presets/store_location.h"

StoreFolders ThisProgramsStoreFolders(const std::string& programName);
