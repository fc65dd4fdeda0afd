#pragma once
// The live site is a shared helper now; the network fetch tests include it by this name.
#include "common/live_site.h"
