// tessera-map's usage, shared by its commands for their argument errors.
#pragma once

#include "command_line/command_line.h"

extern const CommandUsage MapUsage;
