// The tests decode BC7 blocks with the engine's decoder (held to Pillow's
// by Bc7Decode.AgreesWithPillow...).
#pragma once

#include "engine/block_decode.h"
