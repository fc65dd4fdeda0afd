#pragma once
// The live site now lives with the other shared helpers.
#include "common/live_site.h"
