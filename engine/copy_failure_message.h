#pragma once

// The words the installer shows when a copy failed for a reason no question of its own has told
// the user: which file or folder, by its full path, and why.

#include <string>

#include "engine/extraction.h"

// What a program that carries no payload says when it is asked to install.
extern const char kNoPayloadMessage[];

// The message for `failure` of a copy into `install_folder`.
std::string CopyFailureMessage(const std::string& install_folder, const ExtractionFailure& failure);
