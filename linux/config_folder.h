// Where the Linux program keeps its settings file and preset store.
#pragma once

#include <string>

constexpr char kSettingsFileName[] = "settings";

// $XDG_CONFIG_HOME/tindlbrg when that is an absolute path, else $HOME/.config/tindlbrg;
// empty when neither is known.
std::string ConfigFolder();
