// Placeholder until the icon generator lands (fully transparent).
#include "resources/resources.h"

const uint32_t iconbig[iconbig_size * iconbig_size] = {};
